// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/refreshdatathread.h"

#include "compose/arearenderer.h"
#include "link/link.h"
#include "metrics/cpuinfo.h"

#include <array>

namespace korvo::compose {

RefreshDataThread::RefreshDataThread(AreaRenderer* renderer, Milliseconds kindPause)
    : renderer_(renderer), kindPause_(kindPause)
{
    // Attach first, create only when nobody has: a create that fails on an existing segment takes
    // its lock over and removes it later, under the feet of GetCPUInfo. An unreachable segment
    // reads as 1s.
    if (!metrics::attachCpuInfoMemory())
        metrics::createCpuInfoMemory(metrics::CpuInfoMemorySize);
    sinceStart_.start();
}

RefreshDataThread::~RefreshDataThread()
{
    metrics::detachCpuInfoMemory();
}

void RefreshDataThread::requestStop()
{
    stop_.store(true);
}

void RefreshDataThread::allowPasses()
{
    stop_.store(false);
}

bool RefreshDataThread::runPass()
{
    if (stop_.load())
        return false;
    // After a failed write the screen may show anything: nothing more is drawn on it.
    const uint64_t failures = link::failedWrites();
    if (!link::SendTimeSync())
        return false;
    snapshot_.cpu = metrics::readCpuInfo();
    // A publisher that stopped leaves its last figures behind; they are not shown as if measured.
    if (!heartbeat_.live(metrics::readCpuInfoHeartbeat(), sinceStart_.elapsed()))
        snapshot_.cpu.cpuTemperature = snapshot_.cpu.cpuLoad = snapshot_.cpu.cpuPower = metrics::UnavailableFigure;
    // Only what the layout shows is read and formatted; without a renderer, everything.
    const metrics::FigureTexts texts =
        metrics::metricTexts(renderer_ ? renderer_->shownFigures() : metrics::FigureSet().set(), snapshot_.cpu);
    // Every figure to redraw is drawn first, in one go, then sent: on an idle machine the caches
    // are cold after every wake-up, and drawing text cold costs many times what it costs right
    // after another drawing. The short pause each redrawn figure owes is added to the pause before
    // the next pass, so the passes keep their pace and the thread wakes once per pass, not once
    // per figure. A figure with nothing to send (one the layout does not show, or a date whose
    // digits stay) owes none.
    std::array<int, ElementKindCount> redraw{};
    int redrawCount = 0;
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        const QString& text = texts[size_t(kind)];
        if (text.isEmpty())
            continue;
        if (text == snapshot_.lastText[kind] && kind != Time && kind != Date)
            continue;
        snapshot_.lastText[kind] = text;
        if (renderer_ && renderer_->prepareMetric(text, kind))
            redraw[size_t(redrawCount++)] = kind;
    }
    owedPause_ = Milliseconds(0);
    for (int i = 0; i < redrawCount; ++i) {
        if (stop_.load() || link::failedWrites() != failures)
            return false;
        renderer_->sendMetric(redraw[size_t(i)]);
        owedPause_ += kindPause_;
    }
    return true;
}

} // namespace korvo::compose
