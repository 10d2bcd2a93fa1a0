// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutstate.h"
#include "metrics/figuretexts.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <memory>

namespace korvo {
class ScreenDocument;
}

namespace korvo::compose {

class ScreenWorker;
class TavoProcessThread;

// Keeps the screen in step with the document, without any widget and without ever waiting for
// the screen: it owns the screen worker and its thread, keeps the state (sleep, the search for a
// screen that needs a frame, the apply under way) on the GUI thread, and talks to the worker by
// queued calls and its signals.
//
// However the screen went away (unplugged, the system slept, a write failed), it comes back
// through one step: a whole frame of the committed layout first, then orientation and clock,
// then the refresh passes. A frame that does not land is tried again after 1 s, then after twice
// as long each time, at most 30 s.
class ScreenSession : public QObject
{
    Q_OBJECT
public:
    using Milliseconds = std::chrono::milliseconds;

    // The worker's refresh passes follow each other after `passPause`, plus `kindPause` for each
    // figure the pass redrew.
    explicit ScreenSession(ScreenDocument& document, QObject* parent = nullptr,
                           Milliseconds passPause = Milliseconds(500), Milliseconds kindPause = Milliseconds(10));
    // Ends the worker's thread: a write under way is cut short at its next packet.
    ~ScreenSession() override;

    // Finds and opens the screen and sets its clock.
    void open();
    void syncClock();

    // The passes run from here on, except while an apply, a sleep or a missing frame holds them.
    void startRefresh();
    void stopRefresh();
    bool refreshing() const { return refreshWanted_; }

    // Sends the working layout after `pauseMs`, the passes held meanwhile. Once its frame landed
    // the document commits it; applyFinished() follows either way. `untilLanded`: a frame that
    // does not land is tried again like a resend until it does (the first start's frame). False
    // when an apply is still under way.
    bool apply(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs,
               bool untilLanded = false);
    bool applying() const { return applying_; }

    // A HID interface came or went. Only the screen's vendor interface (number 1) acts.
    void deviceChanged(const QString& path, quint16 vendorId, quint16 productId, int interfaceNumber, bool arrived);

    // The system is about to sleep: every write stops; readyToSleep() once the worker holds.
    void systemSleeping();
    // The system woke: the screen is given a whole frame again.
    void systemResumed();

    // A frame that did not land is tried again after `firstMs`, then after twice as long each
    // time, at most `mostMs`; a screen that failed again within `settledMs` of the last frame
    // that landed goes on from the longest wait reached.
    void setRecoveryDelays(int firstMs, int mostMs, int settledMs = 60000);
    bool recovering() const { return recovering_; }

signals:
    void applyFinished(bool landed);
    // The frame landed and the layout is committed, but Config.ini could not be written.
    void settingsNotSaved();
    // The next try to give the screen its frame runs in `delayMs`.
    void recoveryScheduled(int delayMs);
    // Once the system is announced to sleep, nothing is written until it wakes.
    void readyToSleep();
    // The screen is there but may not be opened for lack of permission.
    void accessDenied();
    // The figures the screen now shows as unavailable, "--" and the unit; after a change only.
    void figuresUnavailable(const korvo::metrics::FigureSet& unavailable);

private:
    template <typename Call> void toWorker(Call call);
    void frameDone(quint64 ticket, bool landed);
    void applyDone(bool landed);
    void configWritten(bool saved);
    void finishApply(bool landed);
    // The screen needs a frame; `now`: try at once instead of after the current wait.
    void needFrame(bool now);
    void tryFrame();
    void scheduleRecovery();

    ScreenDocument& document_;
    QThread thread_;
    ScreenWorker* worker_;
    bool refreshWanted_ = false;
    bool sleeping_ = false;
    bool applying_ = false;
    quint64 lastTicket_ = 0;
    std::shared_ptr<const TavoProcessThread> applyJob_;
    bool untilLanded_ = false;
    // The frame to send when the screen needs one: the first start's apply while it has not landed.
    std::shared_ptr<const TavoProcessThread> pendingFirstFrame_;
    // The screen needs a frame: tries run until one lands.
    bool recovering_ = false;
    bool tryUnderWay_ = false;
    bool tryAgainAtOnce_ = false;
    QTimer recoveryTimer_;
    int firstDelayMs_ = 1000;
    int mostDelayMs_ = 30000;
    int settledMs_ = 60000;
    int nextDelayMs_ = 1000;
    // Since a frame last landed.
    QElapsedTimer sinceLanded_;
};

} // namespace korvo::compose
