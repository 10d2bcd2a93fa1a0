#include "platform/clock.h"

#include <mutex>

namespace korvo::platform {
namespace {
std::mutex clockMutex;
std::function<QDateTime()> clockOverride;
} // namespace

QDateTime currentDateTime()
{
    std::function<QDateTime()> clock;
    {
        std::lock_guard<std::mutex> lock(clockMutex);
        clock = clockOverride;
    }
    return clock ? clock() : QDateTime::currentDateTime();
}

void setClockOverride(std::function<QDateTime()> clock)
{
    std::lock_guard<std::mutex> lock(clockMutex);
    clockOverride = std::move(clock);
}

} // namespace korvo::platform
