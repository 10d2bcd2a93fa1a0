#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

namespace korvo::platform {

// What a Windows message about the session or the power state asks of the program. The message
// and parameter numbers are Windows' own, written out here so that the reading is the same on
// every system and can be checked on Linux; the Windows half asserts that they match windows.h.
enum class SystemEvent
{
    None,
    Sleep,
    Resume,
    SessionEnds
};

namespace windowsmsg {
constexpr unsigned QueryEndSession = 0x0011;
constexpr unsigned EndSession = 0x0016;
constexpr unsigned PowerBroadcast = 0x0218;
constexpr std::uintptr_t PowerSuspend = 0x0004;
constexpr std::uintptr_t PowerResumeSuspend = 0x0007;
constexpr std::uintptr_t PowerResumeAutomatic = 0x0012;
} // namespace windowsmsg

// A suspend-resume callback hands over the power event alone: pass PowerBroadcast as `message`.
SystemEvent systemEvent(unsigned message, std::uintptr_t wParam);

// Runs `work` on the thread of `context` and waits for it at most `timeoutMs`. True when it ran
// in time; false when it did not, and then it still runs later, in order, unless `context` is
// gone by then. On the thread of `context` itself it runs at once. For a caller that must answer
// the system within a bound whatever the GUI thread is busy with.
bool runWithin(QObject* context, std::function<void()> work, int timeoutMs);

} // namespace korvo::platform
