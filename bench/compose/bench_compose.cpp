// SPDX-License-Identifier: GPL-3.0-or-later
// What the composition costs: one area update per figure kind (render, encode, send to the
// virtual screen), one refresh pass, one apply without its pause, how long the GUI thread waits
// while the screen gets a frame, and the CPU the running refresh loop takes per minute.

#include "benchsupport.h"
#include "compose/applyrenderer.h"
#include "compose/arearenderer.h"
#include "compose/previewgeometry.h"
#include "compose/refreshdatathread.h"
#include "compose/screensession.h"

#include "link/link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

using namespace korvo;

namespace {

benchsupport::Stage* stage = nullptr;

// Two texts per kind, alternated so that every update is a change.
const char* const texts[7][2] = {{"45℃", "46℃"},     {"65%", "66%"}, {"20%", "21%"},
                                 {"18:46", "18:47"}, {"15w", "16w"}, {"2019.12.21", "2019.12.22"},
                                 {"1000", "1100"}};

void BM_AreaUpdate(benchmark::State& state)
{
    const int kind = int(state.range(0));
    compose::AreaRenderer renderer(stage->document.committed());
    const QString pair[2] = {QString::fromUtf8(texts[kind][0]), QString::fromUtf8(texts[kind][1])};
    int areas = 0;
    int i = 0;
    for (auto _ : state)
        areas = renderer.drawMetric(pair[++i % 2], kind);
    state.counters["areas"] = areas;
}
BENCHMARK(BM_AreaUpdate)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

void BM_RefreshPass(benchmark::State& state)
{
    compose::AreaRenderer renderer(stage->document.committed());
    compose::RefreshDataThread refresh(&renderer, std::chrono::milliseconds(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(refresh.runPass());
}
BENCHMARK(BM_RefreshPass)->Unit(benchmark::kMicrosecond);

void BM_Apply(benchmark::State& state)
{
    for (auto _ : state) {
        const bool sent = compose::applyLayout(stage->layout, stage->picture, compose::editorSize(0));
        benchmark::DoNotOptimize(sent);
    }
}
BENCHMARK(BM_Apply)->Unit(benchmark::kMillisecond);

// CPU time of the calling thread, in milliseconds.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The longest time the GUI thread's event loop went without running a 1 ms timer, and the CPU
// time the thread itself used in its busiest such gap (the rest of a stall is waiting for a core
// that other programs hold), in milliseconds.
struct Stall
{
    double wallMs = 0;
    double busyMs = 0;
};

// Runs the GUI thread's event loop until `done` holds; `since` is when the GUI thread began the
// work measured (the call that starts it counts too).
Stall longestStallUntil(const std::function<bool()>& done,
                        std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now(),
                        double cpuSince = threadCpuMs())
{
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    auto last = since;
    double lastCpu = cpuSince;
    Stall longest;
    const auto step = [&] {
        const auto now = std::chrono::steady_clock::now();
        const double cpu = threadCpuMs();
        longest.wallMs = std::max(longest.wallMs, std::chrono::duration<double, std::milli>(now - last).count());
        longest.busyMs = std::max(longest.busyMs, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    };
    QObject::connect(&tick, &QTimer::timeout, step);
    tick.start(1);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    step();
    return longest;
}

// From the system's wake-up until the screen has taken the whole frame that replaces whatever it
// shows after the sleep: the screen is opened again and given the layout, orientation and clock.
void BM_ResumeToFrame(benchmark::State& state)
{
    compose::ScreenSession session(stage->document);
    for (auto _ : state) {
        session.systemSleeping();
        const int frames = stage->screen->stats().framesCompleted;
        const auto start = std::chrono::steady_clock::now();
        session.systemResumed();
        longestStallUntil([&] { return stage->screen->stats().framesCompleted != frames; });
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_ResumeToFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// The longest time the GUI thread does not run its event loop while the screen is given a whole
// frame, on a screen that takes 20 ms per write (a frame is 27 writes): after a resume, after the
// screen was unplugged and plugged in again, and for an apply (with its commit to Config.ini).
// The fourth case sends nothing new for as long as a frame takes: what the machine's own
// scheduling leaves of a stall, to read the others against.
void BM_GuiThreadStall(benchmark::State& state)
{
    const int how = int(state.range(0));
    compose::ScreenSession session(stage->document);
    // As the program's start does: an apply is no reason to look for the screen.
    session.open();
    session.startRefresh();
    const QString path = QString::fromLatin1(link::VirtualScreen::vendorPath());
    Stall longest;
    stage->screen->setWriteDelay(20);
    for (auto _ : state) {
        const int frames = stage->screen->stats().framesCompleted;
        const auto begun = std::chrono::steady_clock::now();
        const double begunCpu = threadCpuMs();
        if (how == 0) {
            session.systemSleeping();
            session.systemResumed();
        } else if (how == 1) {
            session.deviceChanged(path, link::ScreenVendorId, link::ScreenProductId, 1, false);
            session.deviceChanged(path, link::ScreenVendorId, link::ScreenProductId, 1, true);
        } else if (how == 2) {
            session.apply(stage->layout, stage->picture, compose::editorSize(0), 0);
        }
        const auto quiet = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
        // Until the session has taken the outcome too: an apply commits on the GUI thread.
        const Stall stall = longestStallUntil(
            [&] {
                if (how == 3)
                    return std::chrono::steady_clock::now() > quiet;
                return stage->screen->stats().framesCompleted != frames && !session.applying();
            },
            begun, begunCpu);
        longest.wallMs = std::max(longest.wallMs, stall.wallMs);
        longest.busyMs = std::max(longest.busyMs, stall.busyMs);
    }
    stage->screen->setWriteDelay(0);
    state.counters["longest_stall_ms"] = longest.wallMs;
    state.counters["busiest_gap_cpu_ms"] = longest.busyMs;
}
BENCHMARK(BM_GuiThreadStall)
    ->ArgName("resume_replug_apply_none")
    ->DenseRange(0, 3)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The loop as it runs in the program, under the screen session, with the screen attached or
// absent for the whole run. A second process publishes the figures, as GetCPUInfo does, each of
// them changing every second to a value not seen before in the run, so every pass redraws them
// from scratch. The figure is this process's CPU time over the run, per minute. Without a screen
// the session searches for it with growing pauses; that must cost no more than sending.
void BM_RunningLoop(benchmark::State& state)
{
    const int seconds = int(state.range(0));
    const bool present = state.range(1) != 0;
    for (auto _ : state) {
        benchsupport::Publisher publisher;
        if (!publisher.start(seconds + 10)) {
            state.SkipWithError("The publisher did not start.");
            return;
        }
        stage->screen->setPresent(present);
        compose::ScreenSession session(stage->document);
        session.startRefresh();
        QEventLoop loop;
        const auto runFor = [&loop](int s) {
            QTimer::singleShot(s * 1000, &loop, &QEventLoop::quit);
            loop.exec();
        };
        // The first passes load glyphs and decode the background; the steady state is measured.
        runFor(2);
        const double cpuBefore = benchsupport::cpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        runFor(seconds);
        const double cpu = benchsupport::cpuSeconds() - cpuBefore;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        session.stopRefresh();
        stage->screen->setPresent(true);
        state.counters["cpu_s_per_min"] = cpu / wall * 60;
        state.counters["core_percent"] = cpu / wall * 100;
        state.counters["rss_MiB"] = benchsupport::residentKiB() / 1024.0;
    }
}
BENCHMARK(BM_RunningLoop)
    ->ArgNames({"seconds", "screen"})
    ->Args({60, 1})
    ->Args({60, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (const int code = benchsupport::beforeApplication(argc, argv); code >= 0)
        return code;
    QGuiApplication app(argc, argv);
    benchsupport::Stage s;
    if (!s.start())
        return 1;
    stage = &s;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
