#include "platform/sleepnotifier.h"

#include "platform/systemevents.h"
#include "platform/win/windowsmessage_win.h"

#include <QDebug>

#include <windows.h>

namespace korvo::platform {
namespace {

static_assert(windowsmsg::PowerBroadcast == WM_POWERBROADCAST && windowsmsg::PowerSuspend == PBT_APMSUSPEND &&
              windowsmsg::PowerResumeSuspend == PBT_APMRESUMESUSPEND &&
              windowsmsg::PowerResumeAutomatic == PBT_APMRESUMEAUTOMATIC);

// Windows allows a suspend notification 2 s; what is not ready by then is not waited for.
constexpr int SleepAnswerMs = 1500;

// Windows 8 and later; MinGW's headers lack the subscription with a callback, so it is spelled
// out here as documented for RegisterSuspendResumeNotification with DEVICE_NOTIFY_CALLBACK.
constexpr DWORD NotifyCallback = 2;
using NotifyRoutine = ULONG(CALLBACK*)(PVOID context, ULONG type, PVOID setting);
struct NotifySubscription
{
    NotifyRoutine callback;
    PVOID context;
};
using RegisterFunction = HPOWERNOTIFY(WINAPI*)(HANDLE recipient, DWORD flags);
using UnregisterFunction = BOOL(WINAPI*)(HPOWERNOTIFY handle);

} // namespace

struct SleepNotifier::Private
{
    SleepNotifier* notifier = nullptr;
    NotifySubscription subscription{};
    HPOWERNOTIFY registration = nullptr;
    UnregisterFunction unregister = nullptr;

    // On a thread of Windows' own. The GUI thread does the work; the answer goes back within the
    // bound even when that thread is busy.
    static ULONG CALLBACK onPowerEvent(PVOID context, ULONG type, PVOID)
    {
        SleepNotifier* notifier = static_cast<Private*>(context)->notifier;
        switch (systemEvent(windowsmsg::PowerBroadcast, type)) {
        case SystemEvent::Sleep:
            if (!runWithin(
                    notifier, [notifier] { emit notifier->aboutToSleep(); }, SleepAnswerMs))
                qWarning("Not ready for sleep within %d ms: the program was busy; the system sleeps anyway.",
                         SleepAnswerMs);
            break;
        case SystemEvent::Resume:
            QMetaObject::invokeMethod(
                notifier, [notifier] { emit notifier->resumed(); }, Qt::QueuedConnection);
            break;
        default:
            break;
        }
        return 0;
    }
};

SleepNotifier::SleepNotifier(QObject* parent) : QObject(parent), d(std::make_unique<Private>())
{
    d->notifier = this;
}

SleepNotifier::~SleepNotifier()
{
    if (d->registration && !d->unregister(d->registration))
        qWarning("Unable to stop sleep notifications: error %lu", GetLastError());
}

// A window learns of sleep through WM_POWERBROADCAST only while it has a native window and only
// on machines that really suspend; on modern standby, and with the window never shown, only a
// subscription hears it. Where Windows lacks one (before 8), the window's messages serve.
bool SleepNotifier::start()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto subscribe = reinterpret_cast<RegisterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "RegisterSuspendResumeNotification")));
    d->unregister = reinterpret_cast<UnregisterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "UnregisterSuspendResumeNotification")));
    if (!subscribe || !d->unregister) {
        qWarning("No suspend-resume subscription on this Windows; sleep is learnt from window messages.");
        return true;
    }
    d->subscription = {&Private::onPowerEvent, d.get()};
    d->registration = subscribe(&d->subscription, NotifyCallback);
    if (!d->registration)
        qWarning("Unable to subscribe to sleep and resume: error %lu; sleep is learnt from window messages.",
                 GetLastError());
    return true;
}

bool SleepNotifier::nativeEvent(const QByteArray& eventType, void* message)
{
    // The subscription reports the same events.
    if (d->registration)
        return false;
    const MSG* msg = windowsMessage(eventType, message, WM_POWERBROADCAST);
    if (!msg)
        return false;
    // Nothing of this object is touched after an emit: a receiver may well destroy it.
    switch (systemEvent(msg->message, msg->wParam)) {
    case SystemEvent::Sleep:
        emit aboutToSleep();
        break;
    case SystemEvent::Resume:
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
