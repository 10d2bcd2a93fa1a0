#pragma once

#include "platform/devicenotifier.h"

#include <QByteArray>
#include <QString>

// How each system names an HID interface, turned into ids. Pure, and built on every system, so
// that both forms are tested wherever the tests run.
namespace korvo::platform {

// Ids from a hidraw node's sysfs device path, e.g.
// "/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.1/0003:04D9:FD01.0005/hidraw/hidraw3": the HID
// device component (bus:vendor:product.instance, hex) gives the ids, the USB interface component
// above it (port:configuration.interface, decimal) the interface number. All three or none: a
// path without both components (not USB, virtual, cut off) gives 0/0/-1. path and arrived are
// left for the caller.
DeviceEvent describeHidrawDevpath(const QByteArray& devpath);

// Ids from a Windows interface path with its "\\?\" prefix taken off, e.g.
// "HID#VID_04D9&PID_FD01&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}". Only
// interface 01 of a composite device is recognised (interface number 1); anything else gives
// 0/0/-1. path is the prefix put back, the form the HID enumeration reports.
DeviceEvent describeWindowsInterfacePath(const QString& nameWithoutPrefix, bool arrived);

// The interface name of a notification record: at most capacity UTF-16 units starting at name,
// up to the first NUL (or all of them when the record lacks one), with the 4-unit "\\?\" prefix
// skipped. Never reads past capacity; a name shorter than the prefix gives an empty string.
QString interfaceNameWithoutPrefix(const char16_t* name, qsizetype capacity);

} // namespace korvo::platform
