// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/devicenotifier.h"
#include "platform/devicepaths.h"

#include <QPointer>
#include <QSocketNotifier>

#include <libudev.h>

#include <cerrno>
#include <cstring>

namespace korvo::platform {
namespace {

// Events handled per wake-up; the notifier fires again for the rest, so a burst of devices
// cannot hold the GUI thread.
constexpr int MaxEventsPerWakeUp = 32;

bool readHexAttribute(udev_device* device, const char* name, quint16* value)
{
    const char* text = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    if (!text)
        return false;
    bool ok = false;
    const uint number = QByteArray(text).trimmed().toUInt(&ok, 16);
    if (!ok || number > 0xFFFF)
        return false;
    *value = quint16(number);
    return true;
}

// Ids of an arriving node from sysfs, which still holds its USB parents. When they are already
// gone (the device left again before we got here) or were never there (not a USB device), the
// device path is read instead, as for a removal.
DeviceEvent describeArrival(udev_device* device)
{
    udev_device* usbInterface = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface");
    udev_device* usbDevice = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    DeviceEvent event;
    quint16 interfaceNumber = 0;
    if (readHexAttribute(usbInterface, "bInterfaceNumber", &interfaceNumber) && interfaceNumber <= 0xFF &&
        readHexAttribute(usbDevice, "idVendor", &event.vendorId) &&
        readHexAttribute(usbDevice, "idProduct", &event.productId)) {
        event.interfaceNumber = interfaceNumber;
        return event;
    }
    const char* devpath = udev_device_get_devpath(device);
    return devpath ? describeHidrawDevpath(QByteArray(devpath)) : DeviceEvent{};
}

} // namespace

struct DeviceNotifier::Private
{
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    std::unique_ptr<QSocketNotifier> notifier;

    ~Private()
    {
        notifier.reset();
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }
};

DeviceNotifier::DeviceNotifier(QObject* parent) : QObject(parent), d(std::make_unique<Private>())
{
    qRegisterMetaType<korvo::platform::DeviceEvent>();
}

DeviceNotifier::~DeviceNotifier() = default;

bool DeviceNotifier::registerFor(WId)
{
    if (d->notifier)
        return true;
    auto fail = [this](const char* what, int error) {
        qWarning("Device notifications: %s failed: %s", what, std::strerror(error));
        d = std::make_unique<Private>();
        return false;
    };
    // libudev reports most failures as a negative errno and leaves errno itself alone.
    errno = 0;
    d->context = udev_new();
    if (!d->context)
        return fail("udev_new", errno ? errno : ENOMEM);
    errno = 0;
    d->monitor = udev_monitor_new_from_netlink(d->context, "udev");
    if (!d->monitor)
        return fail("udev_monitor_new_from_netlink", errno ? errno : ENOMEM);
    if (const int result = udev_monitor_filter_add_match_subsystem_devtype(d->monitor, "hidraw", nullptr); result < 0)
        return fail("udev_monitor_filter_add_match_subsystem_devtype", -result);
    if (const int result = udev_monitor_enable_receiving(d->monitor); result < 0)
        return fail("udev_monitor_enable_receiving", -result);
    const int fd = udev_monitor_get_fd(d->monitor);
    if (fd < 0)
        return fail("udev_monitor_get_fd", -fd);

    d->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(d->notifier.get(), &QSocketNotifier::activated, this, [this] {
        for (int i = 0; i < MaxEventsPerWakeUp; ++i) {
            // The socket does not block, so this answers null once the queue is empty.
            udev_device* device = udev_monitor_receive_device(d->monitor);
            if (!device)
                return;
            const char* action = udev_device_get_action(device);
            const char* node = udev_device_get_devnode(device);
            const bool arrived = action && std::strcmp(action, "add") == 0;
            const bool removed = action && std::strcmp(action, "remove") == 0;
            // Without a node there is nothing the HID layer could open or close.
            if ((arrived || removed) && node) {
                DeviceEvent event;
                if (arrived) {
                    event = describeArrival(device);
                } else if (const char* devpath = udev_device_get_devpath(device)) {
                    event = describeHidrawDevpath(QByteArray(devpath));
                }
                event.path = QString::fromLocal8Bit(node);
                event.arrived = arrived;
                udev_device_unref(device);
                // A receiver may well destroy this object.
                const QPointer<DeviceNotifier> self(this);
                emit deviceChanged(event);
                if (!self)
                    return;
                continue;
            }
            udev_device_unref(device);
        }
    });
    return true;
}

bool DeviceNotifier::nativeEvent(const QByteArray&, void*)
{
    return false;
}

} // namespace korvo::platform
