// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "compose/arearenderer.h"
#include "compose/refreshdatathread.h"
#include "config/layoutstate.h"
#include "config/screendocument.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

namespace korvo::compose {

class TavoProcessThread;

// The only writer to the screen. It lives on its own thread for the whole run of the program and
// does one thing at a time, in the order asked: open, frames (applied or resent), clock, the
// refresh passes on a timer. Apart from holdWrites(), its functions are called on its thread, by
// queued calls (see ScreenSession).
//
// After anything that may have left the screen showing something else than a whole frame of the
// committed layout (a failed or held write, an abandoned frame, an arrival, a wake-up), the
// screen needs a frame: until one lands, no pass runs, so nothing is drawn on a torn or foreign
// picture, and nothing goes ahead of the frame.
class ScreenWorker : public QObject
{
    Q_OBJECT
public:
    using Milliseconds = std::chrono::milliseconds;

    explicit ScreenWorker(const CommittedLayout& committed, Milliseconds passPause = Milliseconds(500),
                          Milliseconds kindPause = Milliseconds(10));
    ~ScreenWorker() override;

    // Any thread. While held, every write fails at once and a pass under way ends: the system is
    // going to sleep or the program is ending.
    void holdWrites(bool held);

    // Finds and opens the screen and sets its clock.
    void open();
    // Runs an apply after `pauseMs`; frameDone(ticket, ...) follows either way.
    void applyFrame(quint64 ticket, std::shared_ptr<const TavoProcessThread> job, int pauseMs);
    // Looks for the screen afresh and gives it a whole frame of the committed layout; then
    // frameDone(0, ...).
    void resendFrame();
    // Whether passes run (while the screen does not need a frame).
    void setRefreshing(bool on);
    void sendClock();
    // A vendor interface of the screen came (its path is used at once) or went (its path is dropped).
    void screenArrived(const QString& path, quint16 vendorId, quint16 productId);
    void screenRemoved(quint16 vendorId, quint16 productId);
    // Stops the passes and an apply still waiting for its turn, then says halted().
    void halt();
    // Config.ini after an apply: here, since its sync to disk takes the GUI thread's frame time.
    // Then configWritten().
    void writeConfig(const ConfigWrite& write);

signals:
    void frameDone(quint64 ticket, bool landed); // ticket 0: a resend
    void configWritten(bool saved);
    // The screen has just been found needing a frame.
    void frameNeeded();
    // The figures the passes now show as unavailable changed (GetCPUInfo gives none, or stopped).
    // Spelt out whole: queued connections know the type by this name.
    void figuresUnavailable(const korvo::metrics::FigureSet& unavailable);
    void halted();
    // The screen was found but may not be opened (see link::screenAccessDenied()).
    void accessDenied();

private:
    // Runs `write` and marks the screen when any packet of it failed. Returns what it returned.
    bool tracked(const std::function<bool()>& write);
    void markNeedsFrame();
    void frameLanded();
    void runApply();
    void runPass();
    void schedulePass(Milliseconds delay);
    void checkAccess();

    const CommittedLayout& committed_;
    AreaRenderer renderer_;
    RefreshDataThread refresh_;
    const Milliseconds passPause_;
    QTimer* passTimer_;
    QTimer* applyTimer_;
    std::atomic<bool> held_{false};
    bool refreshWanted_ = false;
    bool needsFrame_ = false;
    // A whole frame has replaced the figures: the next pass starts from its texts.
    bool frameShown_ = false;
    bool accessReported_ = false;
    metrics::FigureSet unavailable_;
    quint64 applyTicket_ = 0;
    std::shared_ptr<const TavoProcessThread> applyJob_;
};

} // namespace korvo::compose
