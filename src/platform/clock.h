#pragma once

#include <QDateTime>
#include <functional>

// Every reading of the wall clock (figure texts, the screen's clock command) goes through
// here, so tests can pin the time without touching the system clock.
namespace korvo::platform {

QDateTime currentDateTime();

// Replaces the clock for the whole process; an empty function restores the system clock.
// Set it before starting threads that read the clock.
void setClockOverride(std::function<QDateTime()> clock);

} // namespace korvo::platform
