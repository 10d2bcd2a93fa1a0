#pragma once

#include "metrics/figuretexts.h"

#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace korvo::compose {

class AreaRenderer;

// Keeps the screen's figures current: each pass sets the screen's clock, reads the CPU figures
// and redraws every figure whose text changed (time and date every pass) as area updates.
class RefreshDataThread : public QThread
{
    Q_OBJECT
public:
    using Milliseconds = std::chrono::milliseconds;

    // `renderer` may be null: texts are then still computed and remembered, nothing is drawn.
    // Creates or attaches the CPU figures' shared memory.
    explicit RefreshDataThread(AreaRenderer* renderer, Milliseconds passPause = Milliseconds(500),
                               Milliseconds kindPause = Milliseconds(10), QObject* parent = nullptr);
    ~RefreshDataThread() override;

    // Asks the loop to end at its next check (before the next figure or during a pause).
    void requestStop();
    // Requests the stop, waits until the loop has been left, then detaches the shared memory.
    // Safe to call more than once and on a thread that never started.
    void stop();

    // The texts the screen shows now, for a screen that has just been given a whole frame: the
    // first pass redraws what differs from them. Call before start().
    void setLastTexts(const metrics::FigureTexts& texts) { snapshot_.lastText = texts; }

    // One pass of the loop; false when a stop request cut it short. run() calls it; tests call
    // it directly on a thread that was not started.
    bool runPass();

    // The figures as of the last pass. Read it only while the loop is not running.
    const metrics::MetricSnapshot& snapshot() const { return snapshot_; }

protected:
    void run() override;

private:
    // Sleeps, or returns false at once when a stop is requested.
    bool pause(Milliseconds duration);

    AreaRenderer* const renderer_;
    const Milliseconds passPause_;
    const Milliseconds kindPause_;
    // The pause still owed after the last redrawn figure; run() adds it to the pass pause.
    Milliseconds owedPause_{0};
    metrics::MetricSnapshot snapshot_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> detached_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool inLoop_ = false; // guarded by mutex_
};

} // namespace korvo::compose
