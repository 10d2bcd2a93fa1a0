// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/screensession.h"

#include "compose/applyrenderer.h"
#include "compose/refreshdatathread.h"
#include "compose/tavoprocess.h"
#include "link/link.h"

#include <QDebug>

#include <algorithm>

namespace korvo::compose {
namespace {

// The untranslated product name of the screen's row in the device table.
constexpr const char* ScreenName = "TFT Screen";
constexpr int VendorInterface = 1;
// A screen that failed again within this time after it came back is flapping: its next search
// waits on from where the last one ended instead of starting short again.
constexpr qint64 SettledMs = 60000;

} // namespace

ScreenSession::ScreenSession(const CommittedLayout& committed, QObject* parent)
    : QObject(parent), committed_(committed), renderer_(committed)
{
    recoveryTimer_.setSingleShot(true);
    connect(&recoveryTimer_, &QTimer::timeout, this, [this] {
        if (reopenScreen())
            screenBack();
        else
            scheduleRecovery();
    });
    // Only an atomic crosses from the writing thread; the queued call carries no data of ours.
    link::setLinkHealthObserver([this](bool answering) {
        linkAnswering_.store(answering);
        QMetaObject::invokeMethod(this, "linkHealthChanged", Qt::QueuedConnection);
    });
}

ScreenSession::~ScreenSession()
{
    stopRefresh();
    // The apply thread never waits for this thread, so waiting for it cannot deadlock.
    if (apply_)
        apply_->wait();
    link::setLinkHealthObserver(nullptr);
}

void ScreenSession::startRefresh()
{
    refreshWanted_ = true;
    resumeLoop();
}

void ScreenSession::stopRefresh()
{
    refreshWanted_ = false;
    haltLoop();
}

void ScreenSession::haltLoop()
{
    if (!refresh_)
        return;
    refresh_->stop();
    refresh_.reset();
}

void ScreenSession::resumeLoop()
{
    if (refresh_ || !refreshWanted_ || apply_ || sleeping_)
        return;
    refresh_ = std::make_unique<RefreshDataThread>(&renderer_);
    // The frame shown may be newer than the committed layout the renderer drew for: after an
    // apply its texts are the new layout's samples.
    if (frameShown_)
        refresh_->setLastTexts(renderer_.frameShown());
    frameShown_ = false;
    refresh_->start();
}

bool ScreenSession::apply(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs)
{
    if (apply_) {
        qDebug("An apply is still running; this one is not started.\n");
        return false;
    }
    haltLoop();
    apply_ = std::make_unique<TavoProcessThread>(working, previewBackground, widgetSize, pauseMs);
    connect(apply_.get(), &TavoProcessThread::DoProcessDlg, this, &ScreenSession::applyEnded, Qt::QueuedConnection);
    apply_->start();
    return true;
}

void ScreenSession::applyEnded()
{
    if (!apply_)
        return;
    // The signal comes just before the run ends; once it has, all it did is visible here.
    apply_->wait();
    const bool sent = apply_->succeeded();
    apply_.reset();
    if (sent) {
        frameShown_ = true;
        emit frameSent();
    }
    emit applyFinished(sent);
    if (resendAfterApply_) {
        resendAfterApply_ = false;
        if (!sent)
            screenBack();
    }
}

void ScreenSession::deviceChanged(const QString& path, quint16 vendorId, quint16 productId, int interfaceNumber,
                                  bool arrived)
{
    qDebug("vid = %d, pid = %d\n", vendorId, productId);
    if (interfaceNumber != VendorInterface || path.isEmpty())
        return;
    if (arrived) {
        if (link::RecordScreenArrival(vendorId, productId, path.toLatin1().constData()) == 0)
            return;
        link::OpenScreenByName(ScreenName);
        screenBack();
    } else if (link::RecordScreenRemoval(vendorId, productId) > 0) {
        link::CloseScreen();
    }
}

void ScreenSession::systemSleeping()
{
    if (sleeping_)
        return;
    qDebug("The system goes to sleep; nothing is sent to the screen until it wakes.\n");
    sleeping_ = true;
    recovering_ = false;
    recoveryTimer_.stop();
    haltLoop();
    // A frame half sent when the USB bus goes down would leave the screen garbled.
    if (apply_)
        apply_->wait();
}

void ScreenSession::systemResumed()
{
    if (!sleeping_)
        return;
    sleeping_ = false;
    qDebug("The system woke; the screen is opened again.\n");
    if (apply_) {
        resendAfterApply_ = true;
        return;
    }
    if (reopenScreen()) {
        screenBack();
        return;
    }
    // The screen may need a moment after the USB bus wakes.
    recovering_ = true;
    nextDelayMs_ = firstDelayMs_;
    scheduleRecovery();
}

void ScreenSession::setRecoveryDelays(int firstMs, int mostMs)
{
    firstDelayMs_ = std::max(1, firstMs);
    mostDelayMs_ = std::max(firstDelayMs_, mostMs);
    nextDelayMs_ = firstDelayMs_;
}

bool ScreenSession::reopenScreen()
{
    link::EnumerateScreens();
    link::OpenScreenByName(ScreenName);
    return link::SendTimeSync();
}

void ScreenSession::screenBack()
{
    if (apply_) {
        resendAfterApply_ = true;
        return;
    }
    if (sleeping_)
        return;
    if (recovering_)
        qDebug("The screen answers again.\n");
    recovering_ = false;
    recoveryTimer_.stop();
    sinceBack_.start();
    haltLoop();
    if (!resendLayout(*committed_.get()))
        qDebug("The screen came back but did not take the frame.\n");
    frameShown_ = true;
    resumeLoop();
}

void ScreenSession::linkHealthChanged()
{
    const bool answering = linkAnswering_.load();
    if (sleeping_)
        return;
    if (answering) {
        // It answered without a search: the same path works again, so the screen was probably
        // reset and shows its own picture.
        if (recovering_)
            screenBack();
        return;
    }
    if (recovering_)
        return;
    qDebug("The screen does not answer; it is looked for again.\n");
    recovering_ = true;
    if (!sinceBack_.isValid() || sinceBack_.hasExpired(SettledMs))
        nextDelayMs_ = firstDelayMs_;
    scheduleRecovery();
}

void ScreenSession::scheduleRecovery()
{
    recoveryTimer_.start(nextDelayMs_);
    emit recoveryScheduled(nextDelayMs_);
    nextDelayMs_ = std::min(nextDelayMs_ * 2, mostDelayMs_);
}

} // namespace korvo::compose
