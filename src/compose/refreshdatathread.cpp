#include "compose/refreshdatathread.h"

#include "compose/arearenderer.h"
#include "link/link.h"
#include "metrics/cpuinfo.h"

#include <QCoreApplication>

#include <array>

namespace korvo::compose {

RefreshDataThread::RefreshDataThread(AreaRenderer* renderer, Milliseconds passPause, Milliseconds kindPause,
                                     QObject* parent)
    : QThread(parent), renderer_(renderer), passPause_(passPause), kindPause_(kindPause)
{
    // Attach first, create only when nobody has: a create that fails on an existing segment takes
    // its lock over and removes it later, under the feet of GetCPUInfo. An unreachable segment
    // reads as 1s.
    if (!metrics::attachCpuInfoMemory())
        metrics::createCpuInfoMemory(metrics::CpuInfoMemorySize);
}

RefreshDataThread::~RefreshDataThread()
{
    stop();
}

void RefreshDataThread::requestStop()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stop_.store(true);
    }
    wake_.notify_all();
}

void RefreshDataThread::stop()
{
    requestStop();
    {
        // run() marks itself in the loop before it reads anything; once that mark is gone the
        // thread reads no more shared memory and draws nothing.
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return !inLoop_; });
    }
    if (!detached_.exchange(true))
        metrics::detachCpuInfoMemory();
    quit();
    wait();
}

bool RefreshDataThread::pause(Milliseconds duration)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return stop_.load(); });
}

bool RefreshDataThread::runPass()
{
    link::SendTimeSync();
    snapshot_.cpu = metrics::readCpuInfo();
    // Only what the layout shows is read and formatted; without a renderer, everything.
    const metrics::FigureTexts texts =
        metrics::metricTexts(renderer_ ? renderer_->shownFigures() : metrics::FigureSet().set(), snapshot_.cpu);
    // Every figure to redraw is drawn first, in one go, and sent afterwards one by one with a
    // short pause after each. On an idle machine the caches are cold after every wake-up, and
    // drawing text cold costs many times what it costs right after another drawing. The pause
    // spaces the writes to the screen, so a figure with nothing to send (one the layout does not
    // show, or a date whose digits stay) gets none: it would only be a wake-up for nothing.
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
        if (stop_.load())
            return false;
        // The last figure's pause runs into the pass pause: the same timing with one wake-up
        // fewer.
        if (owedPause_.count() > 0 && !pause(owedPause_))
            return false;
        renderer_->sendMetric(redraw[size_t(i)]);
        // The thread runs no event loop, so posted events are all it can have pending; running
        // just those spares a full pass of the event dispatcher on every figure.
        QCoreApplication::sendPostedEvents();
        owedPause_ = kindPause_;
    }
    return true;
}

void RefreshDataThread::run()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (stop_.load()) {
            qDebug("isStop.\n");
            return;
        }
        inLoop_ = true;
    }
    while (!stop_.load()) {
        if (!runPass() || !pause(passPause_ + owedPause_))
            break;
    }
    qDebug("isStop.\n");
    // Notified under the lock: once stop() sees the loop left, this thread no longer touches the
    // condition variable, which the owner may then destroy.
    std::lock_guard<std::mutex> guard(mutex_);
    inLoop_ = false;
    wake_.notify_all();
}

} // namespace korvo::compose
