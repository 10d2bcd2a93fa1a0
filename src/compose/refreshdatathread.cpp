#include "compose/refreshdatathread.h"

#include "compose/arearenderer.h"
#include "link/link.h"
#include "metrics/cpuinfo.h"

#include <QCoreApplication>

namespace korvo::compose {

RefreshDataThread::RefreshDataThread(AreaRenderer* renderer, Milliseconds passPause, Milliseconds kindPause,
                                     QObject* parent)
    : QThread(parent), renderer_(renderer), passPause_(passPause), kindPause_(kindPause)
{
    // Creating makes the segment when GetCPUInfo has not yet; attaching then fails harmlessly.
    // Either way the reader ends up attached, and an unreachable segment reads as 1s.
    metrics::createCpuInfoMemory(metrics::CpuInfoMemorySize);
    metrics::attachCpuInfoMemory();
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
    metrics::CpuInfoBlock& cpu = snapshot_.cpu;
    metrics::readCpuInfo(cpu.cpuTemperature, cpu.cpuLoad, cpu.cpuPower, cpu.reserved);
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        if (stop_.load())
            return false;
        const QString text = metrics::metricText(kind, cpu);
        if (text.isEmpty())
            continue;
        if (text == snapshot_.lastText[kind] && kind != Time && kind != Date)
            continue;
        snapshot_.lastText[kind] = text;
        if (renderer_) {
            renderer_->drawMetric(text, kind);
            QCoreApplication::processEvents();
        }
        if (kindPause_.count() > 0 && !pause(kindPause_))
            return false;
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
        if (!runPass() || !pause(passPause_))
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
