// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sleepnotifier.h"

#include "platform/win/windowsmessage_win.h"

#include <windows.h>

namespace korvo::platform {

struct SleepNotifier::Private
{
};

SleepNotifier::SleepNotifier(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {}

SleepNotifier::~SleepNotifier() = default;

// Windows sends WM_POWERBROADCAST to every top-level window unasked.
bool SleepNotifier::start()
{
    return true;
}

bool SleepNotifier::nativeEvent(const QByteArray& eventType, void* message)
{
    const MSG* msg = windowsMessage(eventType, message, WM_POWERBROADCAST);
    if (!msg)
        return false;
    // Nothing of this object is touched after an emit: a receiver may well destroy it.
    switch (msg->wParam) {
    case PBT_APMSUSPEND:
        emit aboutToSleep();
        break;
    // Sent on every resume. PBT_APMRESUMESUSPEND follows only once someone touches the machine,
    // so reacting to it as well would announce one resume twice.
    case PBT_APMRESUMEAUTOMATIC:
        emit resumed();
        break;
    default:
        break;
    }
    return false;
}

// Windows cannot be asked to wait, so there is nothing to give up.
void SleepNotifier::readyToSleep() {}

} // namespace korvo::platform
