// SPDX-License-Identifier: GPL-3.0-or-later
// Encoding a whole frame against copying as many bytes: the encoder should stay within three times
// memcpy's time and never allocate, since the refresh and apply paths call it on every send.

#include "link/link.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

QImage gradientFrame()
{
    QImage image(korvo::link::ScreenWidth, korvo::link::ScreenHeight, QImage::Format_RGB16);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 319, y * 255 / 169, 128));
    return image;
}

void BM_ConvertImageToDeviceBuffer(benchmark::State& state)
{
    const QImage image = gradientFrame();
    std::vector<uint8_t> output(korvo::link::FrameBytes);
    const long before = allocations.load();
    for (auto _ : state) {
        korvo::link::ConvertImageToDeviceBuffer(image, output.data());
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    const long allocated = allocations.load() - before;
    state.counters["allocations"] = static_cast<double>(allocated);
    if (allocated != 0)
        state.SkipWithError("the encoder allocated");
    state.SetBytesProcessed(state.iterations() * korvo::link::FrameBytes);
}
// The fastest repetition is the figure to compare on a shared, busy machine.
double fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_ConvertImageToDeviceBuffer)->Repetitions(10)->ComputeStatistics("min", fastest);

void BM_MemcpyFrame(benchmark::State& state)
{
    std::vector<uint8_t> source(korvo::link::FrameBytes, 0x5A);
    std::vector<uint8_t> output(korvo::link::FrameBytes);
    for (auto _ : state) {
        std::memcpy(output.data(), source.data(), source.size());
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * korvo::link::FrameBytes);
}
BENCHMARK(BM_MemcpyFrame)->Repetitions(10)->ComputeStatistics("min", fastest);

} // namespace

BENCHMARK_MAIN();
