#include "platform/devicepaths.h"

#include <QtTest>

using namespace korvo::platform;

class TestDevicePaths : public QObject
{
    Q_OBJECT

private slots:
    void ids_data()
    {
        QTest::addColumn<QString>("path"); // a hidraw devpath, or a Windows interface path
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("interfaceNumber");
        const QString usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-1/";
        QTest::newRow("screen, 01") << usb + "1-1:1.1/0003:04D9:FD01.0005/hidraw/hidraw3" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("screen, 00") << usb + "1-1:1.0/0003:04D9:FD01.0004/hidraw/hidraw2" << 0x04D9 << 0xFD01 << 0;
        QTest::newRow("other vendor, hub")
            << "/devices/pci0000:00/usb3/3-2/3-2.4:1.10/0003:046d:c52b.000A/hidraw/hidraw17" << 0x046D << 0xC52B << 10;
        QTest::newRow("virtual, screen's ids")
            << "/devices/virtual/misc/uhid/0003:04D9:FD01.0008/hidraw/hidraw6" << 0 << 0 << -1;
        QTest::newRow("garbage") << QString::fromLatin1("\xff\xfe//hidraw/hidraw\x01") << 0 << 0 << -1;
        QTest::newRow("windows, screen, 01")
            << R"(\\?\HID#VID_04D9&PID_FD01&MI_01#7&1a2b3c4d&0&0000)" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("windows, lower case")
            << R"(\\?\hid#vid_04d9&pid_fd01&mi_01#7&1a2b&0&0000)" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("windows, screen, 00") << R"(\\?\HID#VID_04D9&PID_FD01&MI_00#7&5e6f7a8b&0&0000)" << 0 << 0 << -1;
        QTest::newRow("windows, ids not hex") << R"(\\?\HID#VID_ZZZZ&PID_FD01&MI_01#7&1)" << 0 << 0 << -1;
    }

    void ids()
    {
        QFETCH(QString, path);
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(int, interfaceNumber);
        const bool windows = path.startsWith(R"(\\?\)");
        // A removal must name the path the HID enumeration reported on arrival.
        const DeviceEvent event =
            windows ? describeWindowsInterfacePath(path.mid(4), false) : describeHidrawDevpath(path.toLatin1());
        QCOMPARE(int(event.vendorId), vendorId);
        QCOMPARE(int(event.productId), productId);
        QCOMPARE(event.interfaceNumber, interfaceNumber);
        if (windows)
            QCOMPARE(event.path, path);
    }

    void recordName_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("name");
        QTest::newRow("whole record") << QStringLiteral("\\\\?\\HID#VID_04D9\0junk") << QStringLiteral("HID#VID_04D9");
        QTest::newRow("no NUL inside the record") << QStringLiteral("\\\\?\\HID#") << QStringLiteral("HID#");
        QTest::newRow("shorter than the prefix") << QStringLiteral("\\\\?") << QString();
    }

    // Units past the record are not NUL, so a read beyond it shows in the name.
    void recordName()
    {
        QFETCH(QString, units);
        QFETCH(QString, name);
        const QString padded = units + "xx";
        QCOMPARE(interfaceNameWithoutPrefix(reinterpret_cast<const char16_t*>(padded.utf16()), units.size()), name);
    }
};

QTEST_GUILESS_MAIN(TestDevicePaths)
#include "test_devicepaths.moc"
