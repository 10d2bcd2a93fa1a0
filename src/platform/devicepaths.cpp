// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/devicepaths.h"

#include <QList>
#include <QRegularExpression>

#include <cstring>

namespace korvo::platform {
namespace {

// The kernel names a HID device "%04X:%04X:%04X.%04X" (bus, vendor, product, instance) and a
// USB interface "<bus>-<port path>:<configuration>.<interface>" with decimal numbers.
const QRegularExpression& hidDeviceComponent()
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-Fa-f]{4}:(?<vid>[0-9A-Fa-f]{4}):(?<pid>[0-9A-Fa-f]{4})\\.[0-9A-Fa-f]{4,}$"));
    return pattern;
}

const QRegularExpression& usbInterfaceComponent()
{
    static const QRegularExpression pattern(QStringLiteral("^\\d+-\\d+(\\.\\d+)*:\\d+\\.(?<interface>\\d{1,3})$"));
    return pattern;
}

const QRegularExpression& hidrawNode()
{
    static const QRegularExpression pattern(QStringLiteral("^hidraw\\d+$"));
    return pattern;
}

// Windows keeps the interface in the path only for composite devices ("&MI_01"), so this pattern
// also decides which of the screen's two interfaces is meant.
const QRegularExpression& windowsInterfacePattern()
{
    static const QRegularExpression pattern(QStringLiteral("HID#VID_(?<vid>\\w{4})&PID_(?<pid>\\w{4})&mi_01"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Exactly four hex digits: toUShort alone would also take a "0x" prefix or a sign.
bool readHex4(const QString& text, quint16* value)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{4}$"));
    if (!pattern.match(text).hasMatch())
        return false;
    *value = text.toUShort(nullptr, 16);
    return true;
}

} // namespace

DeviceEvent describeHidrawDevpath(const QByteArray& devpath)
{
    const QList<QByteArray> parts = devpath.split('/');
    const int count = parts.size();
    // .../<usb interface>/<hid device>/hidraw/hidrawN
    if (count < 4 || parts[count - 2] != "hidraw" ||
        !hidrawNode().match(QString::fromLatin1(parts[count - 1])).hasMatch())
        return {};
    const QRegularExpressionMatch hid = hidDeviceComponent().match(QString::fromLatin1(parts[count - 3]));
    const QRegularExpressionMatch usb = usbInterfaceComponent().match(QString::fromLatin1(parts[count - 4]));
    if (!hid.hasMatch() || !usb.hasMatch())
        return {};
    DeviceEvent event;
    bool interfaceOk = false;
    const int interfaceNumber = usb.captured(QStringLiteral("interface")).toInt(&interfaceOk, 10);
    if (!readHex4(hid.captured(QStringLiteral("vid")), &event.vendorId) ||
        !readHex4(hid.captured(QStringLiteral("pid")), &event.productId) || !interfaceOk || interfaceNumber > 255)
        return {};
    event.interfaceNumber = interfaceNumber;
    return event;
}

DeviceEvent describeWindowsInterfacePath(const QString& nameWithoutPrefix, bool arrived)
{
    DeviceEvent event;
    event.path = QStringLiteral("\\\\?\\") + nameWithoutPrefix;
    event.arrived = arrived;
    const QRegularExpressionMatch match = windowsInterfacePattern().match(nameWithoutPrefix);
    if (!match.hasMatch())
        return event;
    // \w also takes letters that are not hex; such a path names nothing we could open.
    quint16 vid = 0;
    quint16 pid = 0;
    if (!readHex4(match.captured(QStringLiteral("vid")), &vid) ||
        !readHex4(match.captured(QStringLiteral("pid")), &pid))
        return event;
    event.vendorId = vid;
    event.productId = pid;
    event.interfaceNumber = 1;
    return event;
}

std::optional<QString> interfaceNameFromBroadcast(const void* record)
{
    if (!record)
        return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(record);
    quint32 size = 0;
    std::memcpy(&size, bytes, sizeof(size));
    if (size < broadcast::HeaderSize)
        return std::nullopt;
    quint32 type = 0;
    std::memcpy(&type, bytes + 4, sizeof(type));
    if (type != broadcast::DeviceInterfaceType)
        return std::nullopt;
    constexpr qsizetype PrefixLength = 4;
    const qsizetype capacity = size > broadcast::NameOffset ? (size - broadcast::NameOffset) / 2 : 0;
    QString name;
    for (qsizetype i = 0; i < capacity; ++i) {
        char16_t unit = 0;
        std::memcpy(&unit, bytes + broadcast::NameOffset + 2 * i, sizeof(unit));
        if (unit == u'\0')
            break;
        if (i >= PrefixLength)
            name.append(QChar(unit));
    }
    return name;
}

} // namespace korvo::platform
