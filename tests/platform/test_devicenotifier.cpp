// SPDX-License-Identifier: GPL-3.0-or-later
// GLib names struct members "signals", which Qt defines as a keyword: GLib comes first.
#include <umockdev.h>

#include "platform/devicenotifier.h"

#include <QtTest>

using namespace korvo::platform;

class TestDeviceNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!qgetenv("LD_PRELOAD").contains("libumockdev-preload"))
            QFAIL("needs the udev testbed's preload library: run it under umockdev-wrapper");
    }

    // On a udev testbed, the screen, a USB device without a hidraw node and a keyboard plugged in,
    // then the keyboard's hidraw node pulled.
    void plugAndPull()
    {
        // Port, vendor, product, interface, hidraw node (none when empty).
        const QByteArrayList devices[] = {{"1-2", "04d9", "fd01", "01", "hidraw5"},
                                          {"1-3", "04d9", "fd01", "01", ""},
                                          {"1-4", "046d", "c52b", "00", "hidraw7"}};
        // The testbed comes first: only a monitor opened after it listens to it.
        UMockdevTestbed* testbed = umockdev_testbed_new();
        DeviceNotifier notifier;
        QVERIFY(notifier.registerFor(0));
        QStringList seen;
        connect(&notifier, &DeviceNotifier::deviceChanged, this, [&seen](const DeviceEvent& e) {
            seen << QString::asprintf("%s %s %04x:%04x %d", e.arrived ? "arrived" : "left", qUtf8Printable(e.path),
                                      e.vendorId, e.productId, e.interfaceNumber);
        });
        QList<gchar*> paths{
            umockdev_testbed_add_device(testbed, "usb", "usb1", nullptr, nullptr, "DEVTYPE", "usb_device", nullptr)};
        for (const QByteArrayList& device : devices) {
            paths << umockdev_testbed_add_device(testbed, "usb", device[0].constData(), paths.first(), "idVendor",
                                                 device[1].constData(), "idProduct", device[2].constData(), nullptr,
                                                 "DEVTYPE", "usb_device", nullptr);
            const QByteArray interface = device[0] + ":1." + QByteArray::number(device[3].toInt());
            paths << umockdev_testbed_add_device(testbed, "usb", interface.constData(), paths.last(),
                                                 "bInterfaceNumber", device[3].constData(), nullptr, "DEVTYPE",
                                                 "usb_interface", nullptr);
            if (device[4].isEmpty())
                continue;
            const QByteArray hid = "0003:" + device[1].toUpper() + ':' + device[2].toUpper() + ".0001";
            paths << umockdev_testbed_add_device(testbed, "hid", hid.constData(), paths.last(), nullptr, nullptr);
            paths << umockdev_testbed_add_device(testbed, "hidraw", ("hidraw/" + device[4]).constData(), paths.last(),
                                                 nullptr, "DEVNAME", ("/dev/" + device[4]).constData(), nullptr);
        }
        // The testbed announces a new device by itself, a removal only when told.
        umockdev_testbed_uevent(testbed, paths.last(), "remove");
        umockdev_testbed_remove_device(testbed, paths.last());

        const QStringList events{"arrived /dev/hidraw5 04d9:fd01 1", "arrived /dev/hidraw7 046d:c52b 0",
                                 "left /dev/hidraw7 046d:c52b 0"};
        QTRY_COMPARE_WITH_TIMEOUT(seen, events, 5000);
        for (gchar* path : paths)
            g_free(path);
        g_object_unref(testbed);
    }
};

QTEST_GUILESS_MAIN(TestDeviceNotifier)
#include "test_devicenotifier.moc"
