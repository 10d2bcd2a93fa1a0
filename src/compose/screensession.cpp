// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/screensession.h"

#include "compose/screenworker.h"
#include "compose/tavoprocess.h"
#include "config/screendocument.h"
#include "link/link.h"

#include <QDebug>

#include <algorithm>
#include <mutex>
#include <utility>

namespace korvo::compose {
namespace {

constexpr int VendorInterface = 1;

} // namespace

ScreenSession::ScreenSession(ScreenDocument& document, QObject* parent, Milliseconds passPause, Milliseconds kindPause)
    : QObject(parent), document_(document), worker_(new ScreenWorker(document.committed(), passPause, kindPause))
{
    thread_.setObjectName(QStringLiteral("screen worker"));
    worker_->moveToThread(&thread_);
    // Deleted on its own thread as that thread ends, with the timers it owns.
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &ScreenWorker::frameDone, this, &ScreenSession::frameDone);
    connect(worker_, &ScreenWorker::configWritten, this, &ScreenSession::configWritten);
    connect(worker_, &ScreenWorker::frameNeeded, this, [this] { needFrame(false); });
    connect(worker_, &ScreenWorker::halted, this, [this] {
        if (sleeping_)
            emit readyToSleep();
    });
    connect(worker_, &ScreenWorker::accessDenied, this, &ScreenSession::accessDenied);
    qRegisterMetaType<metrics::FigureSet>();
    connect(worker_, &ScreenWorker::figuresUnavailable, this, &ScreenSession::figuresUnavailable);
    recoveryTimer_.setSingleShot(true);
    connect(&recoveryTimer_, &QTimer::timeout, this, &ScreenSession::tryFrame);
    thread_.start();
}

ScreenSession::~ScreenSession()
{
    worker_->holdWrites(true);
    thread_.quit();
    thread_.wait();
}

namespace {

// Qt hands a queued call to the other thread under its own lock, which the thread sanitizer cannot
// see; this one it can. Taken around the posting and first thing on the receiving side, it orders
// what the posting thread wrote before what the worker reads.
std::mutex handoffMutex;

} // namespace

template <typename Call> void ScreenSession::toWorker(Call call)
{
    ScreenWorker* worker = worker_;
    std::lock_guard<std::mutex> posted(handoffMutex);
    QMetaObject::invokeMethod(
        worker,
        [worker, call] {
            {
                std::lock_guard<std::mutex> received(handoffMutex);
            }
            call(*worker);
        },
        Qt::QueuedConnection);
}

void ScreenSession::open()
{
    toWorker([](ScreenWorker& worker) { worker.open(); });
}

void ScreenSession::syncClock()
{
    toWorker([](ScreenWorker& worker) { worker.sendClock(); });
}

void ScreenSession::startRefresh()
{
    refreshWanted_ = true;
    if (!applying_)
        toWorker([](ScreenWorker& worker) { worker.setRefreshing(true); });
}

void ScreenSession::stopRefresh()
{
    refreshWanted_ = false;
    toWorker([](ScreenWorker& worker) { worker.setRefreshing(false); });
}

bool ScreenSession::apply(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs,
                          bool untilLanded)
{
    if (applying_) {
        qWarning("An apply is still under way; this one is not started.\n");
        return false;
    }
    untilLanded_ = untilLanded;
    applying_ = true;
    applyJob_ = std::make_shared<const TavoProcessThread>(working, previewBackground, widgetSize);
    // Its frame replaces whatever a try would have sent.
    recoveryTimer_.stop();
    const quint64 ticket = ++lastTicket_;
    toWorker([job = applyJob_, ticket, pauseMs](ScreenWorker& worker) {
        worker.setRefreshing(false);
        worker.applyFrame(ticket, job, pauseMs);
    });
    return true;
}

void ScreenSession::frameDone(quint64 ticket, bool landed)
{
    if (ticket != 0) {
        applyDone(landed);
        return;
    }
    tryUnderWay_ = false;
    if (landed) {
        if (recovering_)
            qDebug("The screen shows its frame again.\n");
        recovering_ = false;
        sinceLanded_.start();
        // The screen was lost again (a sleep, an arrival) while this frame went out.
        if (std::exchange(tryAgainAtOnce_, false))
            needFrame(true);
        return;
    }
    needFrame(std::exchange(tryAgainAtOnce_, false));
}

void ScreenSession::applyDone(bool landed)
{
    tryUnderWay_ = false;
    const std::shared_ptr<const TavoProcessThread> job = std::move(applyJob_);
    if (!landed) {
        applying_ = false;
        if (untilLanded_)
            pendingFirstFrame_ = job;
        finishApply(false);
        return;
    }
    pendingFirstFrame_.reset();
    recovering_ = false;
    recoveryTimer_.stop();
    sinceLanded_.start();
    // The apply is over once the file holds it too; the worker writes it, since the sync to disk
    // would hold the window.
    toWorker([write = document_.commit(job->working())](ScreenWorker& worker) { worker.writeConfig(write); });
}

void ScreenSession::configWritten(bool saved)
{
    applying_ = false;
    if (!saved)
        emit settingsNotSaved();
    finishApply(true);
}

void ScreenSession::finishApply(bool landed)
{
    emit applyFinished(landed);
    // A frame that did not land, or the screen lost again while it went out.
    if (const bool again = std::exchange(tryAgainAtOnce_, false); !landed || again)
        needFrame(again);
    if (refreshWanted_ && !sleeping_ && !applying_)
        toWorker([](ScreenWorker& worker) { worker.setRefreshing(true); });
}

void ScreenSession::deviceChanged(const QString& path, quint16 vendorId, quint16 productId, int interfaceNumber,
                                  bool arrived)
{
    qDebug("vid = %d, pid = %d\n", vendorId, productId);
    if (interfaceNumber != VendorInterface || path.isEmpty() || vendorId != link::ScreenVendorId ||
        productId != link::ScreenProductId)
        return;
    if (arrived) {
        toWorker(
            [path, vendorId, productId](ScreenWorker& worker) { worker.screenArrived(path, vendorId, productId); });
        needFrame(true);
    } else {
        toWorker([vendorId, productId](ScreenWorker& worker) { worker.screenRemoved(vendorId, productId); });
    }
}

void ScreenSession::systemSleeping()
{
    if (sleeping_)
        return;
    qDebug("The system goes to sleep; nothing is sent to the screen until it wakes.\n");
    sleeping_ = true;
    recoveryTimer_.stop();
    worker_->holdWrites(true);
    toWorker([](ScreenWorker& worker) { worker.halt(); });
}

void ScreenSession::systemResumed()
{
    if (!sleeping_)
        return;
    sleeping_ = false;
    qDebug("The system woke; the screen is given its frame again.\n");
    worker_->holdWrites(false);
    needFrame(true);
}

void ScreenSession::setRecoveryDelays(int firstMs, int mostMs, int settledMs)
{
    firstDelayMs_ = std::max(1, firstMs);
    mostDelayMs_ = std::max(firstDelayMs_, mostMs);
    settledMs_ = std::max(0, settledMs);
    nextDelayMs_ = firstDelayMs_;
}

void ScreenSession::needFrame(bool now)
{
    if (sleeping_)
        return;
    if (!recovering_) {
        recovering_ = true;
        // A screen that ran well for a while starts again from the shortest wait.
        if (!sinceLanded_.isValid() || sinceLanded_.hasExpired(settledMs_))
            nextDelayMs_ = firstDelayMs_;
    }
    if (applying_ || tryUnderWay_) {
        tryAgainAtOnce_ = tryAgainAtOnce_ || now;
        return;
    }
    if (now) {
        recoveryTimer_.stop();
        tryFrame();
    } else if (!recoveryTimer_.isActive()) {
        scheduleRecovery();
    }
}

void ScreenSession::tryFrame()
{
    if (sleeping_ || applying_ || tryUnderWay_)
        return;
    tryUnderWay_ = true;
    if (!pendingFirstFrame_) {
        toWorker([](ScreenWorker& worker) { worker.resendFrame(); });
        return;
    }
    // The first start's frame has not landed yet: it is the one the screen still waits for.
    applying_ = true;
    untilLanded_ = true;
    applyJob_ = pendingFirstFrame_;
    const quint64 ticket = ++lastTicket_;
    toWorker([job = applyJob_, ticket](ScreenWorker& worker) {
        worker.setRefreshing(false);
        worker.applyFrame(ticket, job, 0);
    });
}

void ScreenSession::scheduleRecovery()
{
    qDebug("The screen is given a whole frame again in %d ms.\n", nextDelayMs_);
    recoveryTimer_.start(nextDelayMs_);
    emit recoveryScheduled(nextDelayMs_);
    nextDelayMs_ = std::min(nextDelayMs_ * 2, mostDelayMs_);
}

} // namespace korvo::compose
