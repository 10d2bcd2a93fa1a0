// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "compose/arearenderer.h"
#include "config/layoutstate.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>

namespace korvo::compose {

class RefreshDataThread;
class TavoProcessThread;

// What keeps the screen in step with the committed layout, without any widget: the area
// renderer, the refresh thread's lifecycle, the apply thread and the reaction to the screen
// coming and going. Lives on the GUI thread; the threads it starts read only values and the
// committed snapshot, and report back through queued calls.
//
// However the screen went away (unplugged, the system slept, it stopped answering), it comes
// back through one step: the committed frame first, then orientation and clock, then a refresh
// pass that redraws every figure. One session per process: it watches the link's health.
class ScreenSession : public QObject
{
    Q_OBJECT
public:
    explicit ScreenSession(const CommittedLayout& committed, QObject* parent = nullptr);
    // Stops the refresh thread and waits for an apply still running.
    ~ScreenSession() override;

    // The loop runs from here on, except while an apply, a sleep or a resend holds it.
    void startRefresh();
    // Returns once the loop has been left, so nothing it drew can follow.
    void stopRefresh();
    bool refreshing() const { return refresh_ != nullptr; }

    // Composes and sends the working layout on the apply thread after `pauseMs`; the loop holds
    // meanwhile. frameSent() then asks the owner to commit, and applyFinished() follows either
    // way. False when an apply still runs.
    bool apply(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs);
    bool applying() const { return apply_ != nullptr; }

    // A HID interface came or went. Only the screen's vendor interface (number 1) acts: its
    // arrival opens the screen and gives it the committed layout again, its removal closes it.
    void deviceChanged(const QString& path, quint16 vendorId, quint16 productId, int interfaceNumber, bool arrived);

    // The system is about to sleep: the loop stops and nothing is sent until it woke.
    void systemSleeping();
    // The system woke: the screen is opened again and, once it answers, given the committed layout.
    void systemResumed();

    // While the screen does not answer, it is looked for again after `firstMs`, then after twice
    // as long each time, at most `mostMs`.
    void setRecoveryDelays(int firstMs, int mostMs);
    bool recovering() const { return recovering_; }

signals:
    // The frame of an apply reached the screen: commit the layout now, on this thread.
    void frameSent();
    void applyFinished(bool sent);
    // The next search for a screen that does not answer runs in `delayMs`.
    void recoveryScheduled(int delayMs);

private:
    void applyEnded();
    void haltLoop();
    void resumeLoop();
    // The screen is attached again and shows its own picture, or nothing we sent.
    void screenBack();
    // The link's latest word on the screen, in linkAnswering_. Called by name from other threads.
    Q_INVOKABLE void linkHealthChanged();
    void scheduleRecovery();
    // Opens the screen afresh and asks it to answer one packet; true when it did.
    bool reopenScreen();

    const CommittedLayout& committed_;
    AreaRenderer renderer_;
    std::unique_ptr<RefreshDataThread> refresh_;
    std::unique_ptr<TavoProcessThread> apply_;
    bool refreshWanted_ = false;
    // A whole frame has just replaced the figures: the next refresh thread starts from its texts.
    bool frameShown_ = false;
    // The screen came back while an apply was running; it gets the layout once the apply is over.
    bool resendAfterApply_ = false;
    bool sleeping_ = false;
    bool recovering_ = false;
    std::atomic<bool> linkAnswering_{true};
    QTimer recoveryTimer_;
    int firstDelayMs_ = 1000;
    int mostDelayMs_ = 30000;
    int nextDelayMs_ = 1000;
    // Since the screen last came back; a screen that fails again soon goes on with the longer waits.
    QElapsedTimer sinceBack_;
};

} // namespace korvo::compose
