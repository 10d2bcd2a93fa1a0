// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <atomic>
#include <ctime>
#include <mutex>

namespace korvo::platform {
namespace {
std::mutex clockMutex;
std::function<QDateTime()> clockOverride;

// The refresh loop reads the clock three times a pass. QDateTime::currentDateTime() works the
// local offset out through mktime() and walks the path to the time-zone file three times on the
// way, which on a quiet machine costs more than all the rest of a reading; here the seconds are
// converted once, and the zone is looked at again at most once a second, which still follows a
// change of time zone within a second.
std::atomic<qint64> zoneCheckedAt{-1};

void followTimeZone(qint64 second)
{
    if (zoneCheckedAt.exchange(second) == second)
        return;
#ifdef Q_OS_WIN
    _tzset();
#else
    tzset();
#endif
}

LocalTime systemLocalTime()
{
    const qint64 milliseconds = QDateTime::currentMSecsSinceEpoch();
    const std::time_t seconds = std::time_t(milliseconds / 1000);
    followTimeZone(seconds);
    std::tm local{};
#ifdef Q_OS_WIN
    const bool converted = localtime_s(&local, &seconds) == 0;
#else
    const bool converted = localtime_r(&seconds, &local) != nullptr;
#endif
    if (!converted) {
        const QDateTime now = QDateTime::currentDateTime();
        return {now.date(), now.time()};
    }
    // A leap second reads as 60, which QTime does not take.
    return {QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
            QTime(local.tm_hour, local.tm_min, qMin(local.tm_sec, 59), int(milliseconds % 1000))};
}
} // namespace

LocalTime localNow()
{
    std::function<QDateTime()> clock;
    {
        std::lock_guard<std::mutex> lock(clockMutex);
        clock = clockOverride;
    }
    if (!clock)
        return systemLocalTime();
    const QDateTime now = clock();
    return {now.date(), now.time()};
}

void setClockOverride(std::function<QDateTime()> clock)
{
    std::lock_guard<std::mutex> lock(clockMutex);
    clockOverride = std::move(clock);
}

} // namespace korvo::platform
