// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace korvo::metrics {

// Tells live figures from the last ones of a publisher that stopped: they are live while the
// heartbeat word has changed within `staleMs`. The first reading counts as a change, so a
// publisher just started gets its first interval too.
class HeartbeatWatch
{
public:
    explicit HeartbeatWatch(int64_t staleMs = 3000) : staleMs_(staleMs) {}

    // `beat` read at `nowMs` (any monotonic clock); true while the figures are live.
    bool live(uint32_t beat, int64_t nowMs);

private:
    const int64_t staleMs_;
    bool seen_ = false;
    uint32_t last_ = 0;
    int64_t changedAtMs_ = 0;
};

} // namespace korvo::metrics
