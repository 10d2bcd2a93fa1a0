// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrics/heartbeat.h"

namespace korvo::metrics {

bool HeartbeatWatch::live(uint32_t beat, int64_t nowMs)
{
    if (!seen_ || beat != last_) {
        seen_ = true;
        last_ = beat;
        changedAtMs_ = nowMs;
    }
    return nowMs - changedAtMs_ <= staleMs_;
}

} // namespace korvo::metrics
