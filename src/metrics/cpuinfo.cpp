// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrics/cpuinfo.h"

#include "metrics/cpuinfosegment.h"

#include <QtEndian>

#include <mutex>

namespace korvo::metrics {
namespace {

// The one segment of the process. Created and detached on the GUI thread, read on the refresh
// thread; the mutex keeps a late read from meeting a half-done detach.
std::mutex memoryMutex;

CpuInfoSegment& memory()
{
    // Unmapped at exit under the lock as well: the screen worker's thread may have used it last,
    // and Qt's wait for that thread is out of the thread sanitizer's sight.
    struct Held
    {
        CpuInfoSegment segment;
        ~Held()
        {
            std::lock_guard<std::mutex> guard(memoryMutex);
            segment.detach();
        }
    };
    static Held held;
    return held.segment;
}

} // namespace

CpuInfoBytes cpuInfoBytes(std::initializer_list<int32_t> words)
{
    CpuInfoBytes bytes{};
    int offset = 0;
    for (const int32_t word : words) {
        if (offset + 4 > CpuInfoBlockSize)
            break;
        qToLittleEndian<qint32>(word, bytes.data() + offset);
        offset += 4;
    }
    return bytes;
}

int32_t cpuInfoWord(const CpuInfoBytes& bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.data() + offset);
}

QString cpuInfoMemoryKey()
{
    QString key = qEnvironmentVariable("KORVO_CPUINFO_KEY");
    if (key.isEmpty())
        key = QString::fromLatin1(CpuInfoMemoryKey);
    return key;
}

bool createCpuInfoMemory(int size)
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    if (size < CpuInfoMemorySize || !memory().create())
        return false;
    // Until GetCPUInfo writes, nothing has been measured: zeros would read as a 0 ℃ CPU. A block
    // of zeros was never published, since every publish carries unavailable figures as such.
    CpuInfoBytes bytes{};
    if (memory().read(bytes) && bytes == CpuInfoBytes{})
        memory().publish(cpuInfoBytes({UnavailableFigure, UnavailableFigure, UnavailableFigure, 0, 0, UnavailableFigure,
                                       UnavailableFigure, UnavailableFigure}));
    return true;
}

bool attachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    return memory().attach();
}

CpuInfoBlock readCpuInfo()
{
    CpuInfoBlock block;
    CpuInfoBytes bytes{};
    {
        std::lock_guard<std::mutex> guard(memoryMutex);
        if (!memory().read(bytes))
            return block;
    }
    const auto word = [&bytes](int offset) { return cpuInfoWord(bytes, offset); };
    // A figure that cannot be real is shown as unavailable, never as a clipped number that
    // looks like a measurement.
    const auto figure = [](qint32 value, bool (*plausible)(int)) {
        return plausible(value) ? value : UnavailableFigure;
    };
    block.cpuTemperature = figure(word(0), isPlausibleTemperature);
    block.cpuLoad = figure(word(4), isPlausibleLoad);
    block.cpuPower = figure(word(8), isPlausiblePower);
    block.reserved = word(12);
    block.fanSpeed = figure(word(FanSpeedOffset), isPlausibleFanSpeed);
    block.gpuTemperature = figure(word(GpuTemperatureOffset), isPlausibleTemperature);
    block.gpuLoad = figure(word(GpuLoadOffset), isPlausibleLoad);
    return block;
}

uint32_t readCpuInfoHeartbeat()
{
    CpuInfoBytes bytes{};
    std::lock_guard<std::mutex> guard(memoryMutex);
    if (!memory().read(bytes))
        return 0;
    return static_cast<uint32_t>(cpuInfoWord(bytes, HeartbeatOffset));
}

void detachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    memory().detach();
}

} // namespace korvo::metrics
