#include "platform/devicenotifier.h"
#include "platform/devicepaths.h"

#include <cstddef>

#include <windows.h>

#include <dbt.h>

namespace korvo::platform {
namespace {

// GUID_DEVINTERFACE_HID, written out so that no extra library is needed for it.
const GUID HidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// The interface name of a WM_DEVICECHANGE record, or false when the record is not an interface
// record. The record's own size bounds the name; a record cut short gives what fits.
bool interfaceName(LPARAM lParam, QString* name)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header || header->dbch_size < sizeof(DEV_BROADCAST_HDR) ||
        header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return false;
    constexpr std::size_t NameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const auto capacity =
        qsizetype(record->dbcc_size > NameOffset ? (record->dbcc_size - NameOffset) / sizeof(WCHAR) : 0);
    *name = interfaceNameWithoutPrefix(reinterpret_cast<const char16_t*>(record->dbcc_name), capacity);
    return true;
}

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
    if (!message || (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG"))
        return false;
    const auto* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_DEVICECHANGE)
        return false;
    // Nothing of this object is touched after an emit: a receiver may well destroy it.
    QString name;
    switch (msg->wParam) {
    case DBT_DEVICEARRIVAL:
        qDebug("DBT_DEVICEARRIVAL\n");
        if (interfaceName(msg->lParam, &name)) {
            emit deviceChanged(describeWindowsInterfacePath(name, true));
            qDebug("%s", name.toLocal8Bit().constData());
        }
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        if (interfaceName(msg->lParam, &name))
            emit deviceChanged(describeWindowsInterfacePath(name, false));
        qDebug("DBT_DEVICEREMOVECOMPLETE\n");
        break;
    default:
        break;
    }
    return false;
}

} // namespace korvo::platform
