#include "platform/devicepaths.h"

#include <QtTest>

#include <memory>

using namespace korvo::platform;

class TestDevicePaths : public QObject
{
    Q_OBJECT

private slots:
    void hidrawDevpath_data()
    {
        QTest::addColumn<QByteArray>("devpath");
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("interfaceNumber");
        const QByteArray port = "/devices/pci0000:00/0000:00:14.0/usb1/1-1/";
        QTest::newRow("screen, interface 01")
            << port + "1-1:1.1/0003:04D9:FD01.0005/hidraw/hidraw3" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("screen, interface 00")
            << port + "1-1:1.0/0003:04D9:FD01.0004/hidraw/hidraw2" << 0x04D9 << 0xFD01 << 0;
        QTest::newRow("lower case ids") << port + "1-1:1.1/0003:04d9:fd01.0005/hidraw/hidraw3" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("another vendor behind a hub")
            << QByteArray("/devices/pci0000:00/0000:00:14.0/usb3/3-2/3-2.4/3-2.4.1/3-2.4.1:1.2/"
                          "0003:046D:C52B.000A/hidraw/hidraw17")
            << 0x046D << 0xC52B << 2;
        QTest::newRow("interface number is decimal")
            << port + "1-1:1.10/0003:1234:ABCD.0001/hidraw/hidraw0" << 0x1234 << 0xABCD << 10;
        QTest::newRow("virtual device with the screen's ids")
            << QByteArray("/devices/virtual/misc/uhid/0003:04D9:FD01.0008/hidraw/hidraw6") << 0 << 0 << -1;
        QTest::newRow("bluetooth") << QByteArray("/devices/virtual/misc/uhid/0005:046D:B33D.0007/hidraw/hidraw5") << 0
                                   << 0 << -1;
        QTest::newRow("cut off after the HID device") << port + "1-1:1.1/0003:04D9:FD01.0005" << 0 << 0 << -1;
        QTest::newRow("cut off inside hidraw") << port + "1-1:1.1/0003:04D9:FD01.0005/hidraw/" << 0 << 0 << -1;
        QTest::newRow("not hex") << port + "1-1:1.1/0003:04G9:FD01.0005/hidraw/hidraw3" << 0 << 0 << -1;
        QTest::newRow("hex prefix") << port + "1-1:1.1/0003:0x49:FD01.0005/hidraw/hidraw3" << 0 << 0 << -1;
        QTest::newRow("garbage") << QByteArray("\xff\xfe//hidraw/hidraw\x01") << 0 << 0 << -1;
        QTest::newRow("empty") << QByteArray() << 0 << 0 << -1;
    }

    void hidrawDevpath()
    {
        QFETCH(QByteArray, devpath);
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(int, interfaceNumber);
        const DeviceEvent event = describeHidrawDevpath(devpath);
        QCOMPARE(int(event.vendorId), vendorId);
        QCOMPARE(int(event.productId), productId);
        QCOMPARE(event.interfaceNumber, interfaceNumber);
    }

    void windowsPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("interfaceNumber");
        QTest::newRow("screen, interface 01")
            << QStringLiteral("HID#VID_04D9&PID_FD01&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}")
            << true
            << QStringLiteral(
                   R"(\\?\HID#VID_04D9&PID_FD01&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})")
            << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("screen, interface 00, removed")
            << QStringLiteral("HID#VID_04D9&PID_FD01&MI_00#7&5e6f7a8b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}")
            << false
            << QStringLiteral(
                   R"(\\?\HID#VID_04D9&PID_FD01&MI_00#7&5e6f7a8b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})")
            << 0 << 0 << -1;
        QTest::newRow("lower case") << QStringLiteral("hid#vid_04d9&pid_fd01&mi_01#7&1a2b3c4d&0&0000") << false
                                    << QStringLiteral(R"(\\?\hid#vid_04d9&pid_fd01&mi_01#7&1a2b3c4d&0&0000)") << 0x04D9
                                    << 0xFD01 << 1;
        QTest::newRow("another vendor, interface 01")
            << QStringLiteral("HID#VID_046D&PID_C52B&MI_01&Col02#8&2f3e4d5c&0&0001") << true
            << QStringLiteral(R"(\\?\HID#VID_046D&PID_C52B&MI_01&Col02#8&2f3e4d5c&0&0001)") << 0x046D << 0xC52B << 1;
        QTest::newRow("not composite") << QStringLiteral("HID#VID_046D&PID_C077#7&11223344&0&0000") << true
                                       << QStringLiteral(R"(\\?\HID#VID_046D&PID_C077#7&11223344&0&0000)") << 0 << 0
                                       << -1;
        QTest::newRow("ids not hex") << QStringLiteral("HID#VID_ZZZZ&PID_FD01&MI_01#7&1") << true
                                     << QStringLiteral(R"(\\?\HID#VID_ZZZZ&PID_FD01&MI_01#7&1)") << 0 << 0 << -1;
        QTest::newRow("cut off") << QStringLiteral("HID#VID_04D9&PID_FD") << true
                                 << QStringLiteral(R"(\\?\HID#VID_04D9&PID_FD)") << 0 << 0 << -1;
        QTest::newRow("empty") << QString() << false << QStringLiteral(R"(\\?\)") << 0 << 0 << -1;
    }

    void windowsPath()
    {
        QFETCH(QString, name);
        QFETCH(bool, arrived);
        QFETCH(QString, path);
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(int, interfaceNumber);
        const DeviceEvent event = describeWindowsInterfacePath(name, arrived);
        QCOMPARE(event.path, path);
        QCOMPARE(event.arrived, arrived);
        QCOMPARE(int(event.vendorId), vendorId);
        QCOMPARE(int(event.productId), productId);
        QCOMPARE(event.interfaceNumber, interfaceNumber);
    }

    void recordName_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("name");
        QTest::newRow("whole record") << QStringLiteral("\\\\?\\HID#VID_04D9\0junk") << QStringLiteral("HID#VID_04D9");
        QTest::newRow("no NUL inside the record") << QStringLiteral("\\\\?\\HID#") << QStringLiteral("HID#");
        QTest::newRow("only the prefix") << QStringLiteral("\\\\?\\\0") << QString();
        QTest::newRow("shorter than the prefix") << QStringLiteral("\\\\?") << QString();
        QTest::newRow("nothing") << QString() << QString();
    }

    // The record holds exactly the given units, so a read past them shows under AddressSanitizer.
    void recordName()
    {
        QFETCH(QString, units);
        QFETCH(QString, name);
        const auto record = std::make_unique<char16_t[]>(std::size_t(units.size()));
        std::copy(units.utf16(), units.utf16() + units.size(), record.get());
        QCOMPARE(interfaceNameWithoutPrefix(record.get(), units.size()), name);
    }
};

QTEST_GUILESS_MAIN(TestDevicePaths)
#include "test_devicepaths.moc"
