// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <functional>

// Every reading of the wall clock (figure texts, the screen's clock command) goes through
// here, so tests can pin the time without touching the system clock.
namespace korvo::platform {

// The date and time on the machine's clock, in its time zone.
struct LocalTime
{
    QDate date;
    QTime time;
};

LocalTime localNow();

// Replaces the clock for the whole process; an empty function restores the system clock.
// Set it before starting threads that read the clock.
void setClockOverride(std::function<QDateTime()> clock);

} // namespace korvo::platform
