// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the refresh loop against the virtual screen for a long time, with the figures changing
// every second, and reports memory and open descriptors after a warm-up and at the end.
//
//   soak_refresh [seconds]      (default 600)

#include "benchsupport.h"
#include "compose/screensession.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace korvo;

int main(int argc, char** argv)
{
    if (const int code = benchsupport::beforeApplication(argc, argv); code >= 0)
        return code;
    QGuiApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    if (seconds < 20) {
        std::fprintf(stderr, "usage: soak_refresh [seconds >= 20]\n");
        return 2;
    }
    benchsupport::Stage stage;
    if (!stage.start())
        return 1;
    stage.screen->setLogging(false);

    // The figures come from a second process, as GetCPUInfo's do.
    benchsupport::Publisher publisher;
    if (!publisher.start(seconds + 10))
        return 1;
    compose::ScreenSession session(stage.document);
    const double cpuStart = benchsupport::cpuSeconds();
    session.startRefresh();
    constexpr int WarmUp = 10; // fonts, caches and allocator pools settle first
    long rssStart = 0;
    int fdStart = 0;
    for (int s = 0; s < seconds; ++s) {
        if (s == WarmUp) {
            rssStart = benchsupport::residentKiB();
            fdStart = benchsupport::openDescriptors();
            std::printf("start (after %d s): RSS %ld KiB, open fds %d\n", WarmUp, rssStart, fdStart);
            std::fflush(stdout);
        }
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    session.stopRefresh();
    const double cpu = benchsupport::cpuSeconds() - cpuStart;
    const long rssEnd = benchsupport::residentKiB();
    const int fdEnd = benchsupport::openDescriptors();
    const auto stats = stage.screen->stats();
    std::printf("end (after %d s):   RSS %ld KiB, open fds %d\n", seconds, rssEnd, fdEnd);
    std::printf("RSS growth %ld KiB, fd growth %d\n", rssEnd - rssStart, fdEnd - fdStart);
    std::printf("CPU %.3f s in %d s (%.3f %% of one core); %d area packets, %d rejected, %d interleaved\n", cpu,
                seconds, cpu / seconds * 100, stats.areaPackets, stats.rejected, stats.interleaved);
    return stats.rejected == 0 && stats.interleaved == 0 ? 0 : 1;
}
