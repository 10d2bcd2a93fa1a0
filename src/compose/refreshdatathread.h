// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "metrics/figuretexts.h"
#include "metrics/heartbeat.h"

#include <QElapsedTimer>

#include <atomic>
#include <chrono>

namespace korvo::compose {

class AreaRenderer;

// Keeps the screen's figures current: each pass sets the screen's clock, reads the CPU figures
// and redraws every figure whose text changed (time and date every pass) as area updates. The
// screen worker runs its passes on its own thread, one at a time, with its timer's pause between
// them.
class RefreshDataThread
{
public:
    using Milliseconds = std::chrono::milliseconds;

    // `renderer` may be null: texts are then still computed and remembered, nothing is drawn.
    // Creates or attaches the CPU figures' shared memory; the destructor detaches it.
    explicit RefreshDataThread(AreaRenderer* renderer, Milliseconds kindPause = Milliseconds(10));
    ~RefreshDataThread();
    RefreshDataThread(const RefreshDataThread&) = delete;
    RefreshDataThread& operator=(const RefreshDataThread&) = delete;

    // Any thread: a pass under way ends at its next check, and none runs until allowPasses().
    void requestStop();
    void allowPasses();

    // The texts the screen shows now, for a screen that has just been given a whole frame: the
    // next pass redraws what differs from them.
    void setLastTexts(const metrics::FigureTexts& texts) { snapshot_.lastText = texts; }

    // One pass; false when a stop request cut it short.
    bool runPass();
    // The short pauses owed for the figures the last pass redrew, to add to the pause before the
    // next pass.
    Milliseconds owedPause() const { return owedPause_; }

    const metrics::MetricSnapshot& snapshot() const { return snapshot_; }

private:
    AreaRenderer* const renderer_;
    const Milliseconds kindPause_;
    Milliseconds owedPause_{0};
    metrics::MetricSnapshot snapshot_;
    metrics::HeartbeatWatch heartbeat_;
    QElapsedTimer sinceStart_;
    std::atomic<bool> stop_{false};
};

} // namespace korvo::compose
