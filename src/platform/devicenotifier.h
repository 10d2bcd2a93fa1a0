// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QtGui/qwindowdefs.h>

#include <memory>

namespace korvo::platform {

// One HID interface arriving or going away, in the same shape on both systems. path is what the
// HID layer opens: "/dev/hidrawN" on Linux, "\\?\HID#..." on Windows. Ids that could not be
// learnt are 0 and the interface number -1.
struct DeviceEvent
{
    QString path;
    quint16 vendorId = 0;
    quint16 productId = 0;
    int interfaceNumber = -1;
    bool arrived = false;
};

// Tells when an HID interface arrives or goes away. Linux: a udev monitor on "hidraw" read from
// the event loop; events without a device node are dropped, events whose ids cannot be learnt
// are emitted with 0/0/-1. Windows: device-interface notifications of the HID class, delivered
// to the window through nativeEvent.
class DeviceNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DeviceNotifier(QObject* parent = nullptr);
    ~DeviceNotifier() override;

    // Registers for HID device notifications; false when that failed (logged with the reason;
    // the caller goes on without hot-plug). Linux ignores the window.
    bool registerFor(WId window);

    // To be called from the window's nativeEvent. Only Windows does work (WM_DEVICECHANGE).
    // Always returns false, so Qt goes on handling the message.
    bool nativeEvent(const QByteArray& eventType, void* message);

signals:
    void deviceChanged(const korvo::platform::DeviceEvent& event);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace korvo::platform

Q_DECLARE_METATYPE(korvo::platform::DeviceEvent)
