// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/devicenotifier.h"

#include <QByteArray>
#include <QString>

#include <optional>

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

// The layout of a DEV_BROADCAST_DEVICEINTERFACE_W record, the same on every Windows architecture:
// dbcc_size, dbcc_devicetype and dbcc_reserved (32-bit words; the first two are the header every
// WM_DEVICECHANGE record starts with), dbcc_classguid (16 bytes), then dbcc_name, NUL-terminated
// UTF-16 filling the rest of dbcc_size.
namespace broadcast {
constexpr qsizetype HeaderSize = 12;
constexpr qsizetype NameOffset = 28;
constexpr quint32 DeviceInterfaceType = 5; // DBT_DEVTYP_DEVICEINTERFACE
} // namespace broadcast

// The interface name in a WM_DEVICECHANGE record, with the 4-unit "\\?\" prefix taken off:
// dbcc_name up to its first NUL, or up to the end of the record when it lacks one. Nothing when
// the record is no device-interface record. Reads nothing past the record's own dbcc_size and
// needs no alignment; a record cut short before or inside the name gives what fits, an empty
// string when that is no more than the prefix.
std::optional<QString> interfaceNameFromBroadcast(const void* record);

} // namespace korvo::platform
