// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/devicenotifier.h"
#include "platform/devicepaths.h"

#include "platform/win/windowsmessage_win.h"

#include <cstddef>

#include <windows.h>

#include <dbt.h>

namespace korvo::platform {
namespace {

// GUID_DEVINTERFACE_HID, written out so that no extra library is needed for it.
const GUID HidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// The parser reads the record by its own description of the layout, so that it runs in the tests
// on every system; this holds that description to the real one.
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) == broadcast::NameOffset);
static_assert(sizeof(DEV_BROADCAST_HDR) == broadcast::HeaderSize);
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32);

} // namespace

struct DeviceNotifier::Private
{
    HDEVNOTIFY handle = nullptr;
};

DeviceNotifier::DeviceNotifier(QObject* parent) : QObject(parent), d(std::make_unique<Private>())
{
    qRegisterMetaType<korvo::platform::DeviceEvent>();
}

DeviceNotifier::~DeviceNotifier()
{
    if (d->handle && !UnregisterDeviceNotification(d->handle))
        qWarning("Device notifications: UnregisterDeviceNotification failed: error %lu", GetLastError());
}

bool DeviceNotifier::registerFor(WId window)
{
    if (d->handle)
        return true;
    DEV_BROADCAST_DEVICEINTERFACE_W filter;
    ZeroMemory(&filter, sizeof(filter));
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = HidInterfaceClass;
    d->handle = RegisterDeviceNotificationW(reinterpret_cast<HANDLE>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!d->handle) {
        qWarning("Device notifications: RegisterDeviceNotificationW failed: error %lu", GetLastError());
        return false;
    }
    return true;
}

bool DeviceNotifier::nativeEvent(const QByteArray& eventType, void* message)
{
    const MSG* msg = windowsMessage(eventType, message, WM_DEVICECHANGE);
    if (!msg)
        return false;
    // Nothing of this object is touched after an emit: a receiver may well destroy it.
    const auto* record = reinterpret_cast<const void*>(msg->lParam);
    std::optional<QString> name;
    switch (msg->wParam) {
    case DBT_DEVICEARRIVAL:
        qDebug("DBT_DEVICEARRIVAL\n");
        if ((name = interfaceNameFromBroadcast(record))) {
            emit deviceChanged(describeWindowsInterfacePath(*name, true));
            qDebug("%s", name->toLocal8Bit().constData());
        }
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        if ((name = interfaceNameFromBroadcast(record)))
            emit deviceChanged(describeWindowsInterfacePath(*name, false));
        qDebug("DBT_DEVICEREMOVECOMPLETE\n");
        break;
    default:
        break;
    }
    return false;
}

} // namespace korvo::platform
