// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidbackend.h"
#include "link/link.h"
#include "link/linkstate.h"
#include "link/virtualscreen.h"
#include "logcapture.h"
#include "platform/clock.h"

#include <hidapi.h>

#include <QtTest>

#include <memory>

using namespace korvo::link;

struct Listed
{
    const char* path;
    unsigned short productId, usagePage, usage, release;
};
Q_DECLARE_METATYPE(std::vector<Listed>)

namespace {

// Every byte of chunk n's payload is n, so each chunk shows where it came from.
const std::vector<uint8_t> numberedFrame = [] {
    std::vector<uint8_t> frame(FrameBytes);
    for (int i = 0; i < FrameBytes; ++i)
        frame[i] = uint8_t(i / 4096 + 1);
    return frame;
}();

// A whole report: the given head, payload bytes of one value, then zeros up to its length.
QByteArray report(const QByteArray& hex, int length, int payload = 0, char value = 0)
{
    const QByteArray bytes = QByteArray::fromHex(hex) + QByteArray(payload, value);
    return bytes + QByteArray(length - bytes.size(), 0);
}

// The bus lists hand-made interfaces; opening and writing go to the virtual screen.
const Listed consumer{VirtualScreen::consumerPath(), 0xFD01, 0x000C, 1, 0x100};
const Listed vendor{VirtualScreen::vendorPath(), 0xFD01, 0xFFA0, 1, 0x100};
std::vector<Listed> listed;
std::vector<hid_device_info> records;
int initResult = 0;
HidBackend listingBackend;

hid_device_info* listEnumerate(unsigned short, unsigned short)
{
    records.assign(listed.size(), hid_device_info{});
    for (size_t i = 0; i < listed.size(); ++i) {
        const Listed& d = listed[i];
        // clang-format off
        records[i] = {const_cast<char*>(d.path), 0x04D9, d.productId, nullptr, d.release, const_cast<wchar_t*>(L"Maker"),
                      const_cast<wchar_t*>(L"TFT Screen"), d.usagePage, d.usage, d.usagePage == 0xFFA0 ? 1 : 0,
                      i + 1 < records.size() ? &records[i + 1] : nullptr};
        // clang-format on
    }
    return records.empty() ? nullptr : records.data();
}

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualScreen> screen;

    void attach(const std::vector<Listed>& devices = {consumer, vendor})
    {
        listed = devices;
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), 0);
    }

private slots:
    void init()
    {
        screen = std::make_unique<VirtualScreen>();
        screen->setLogging(true);
        listingBackend = currentHidBackend();
        listingBackend.init = [] { return initResult; };
        listingBackend.enumerate = listEnumerate;
        listingBackend.freeEnumeration = [](hid_device_info*) {};
        setHidBackend(&listingBackend);
        initResult = 0;
        attach();
    }

    void cleanup()
    {
        korvo::platform::setClockOverride({});
        CloseScreen();
        QCOMPARE(screen->stats().openHandles, 0); // no test may leave a handle behind
        screen.reset();
    }

    // One packet as the screen receives it, by its number in the log; no bytes: refused before any write.
    void packets_data()
    {
        QTest::addColumn<QString>("send");
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("frame chunk 1") << "frame" << 1 << report("0055a3f001 0000 0010", 4105, 4096, 1);
        QTest::newRow("frame chunk 17 wraps") << "frame" << 17 << report("0055a3f111 0000 0010", 4105, 4096, 17);
        QTest::newRow("frame chunk 27, the tail") << "frame" << 27 << report("0055a3f21b 00a0 0009", 4105, 2304, 27);
        QTest::newRow("red and blue at x 300")
            << "area 300 5 2 1" << 1 << report("0055a2 2c01 0500 02 01 f800 001f", 4105);
        QTest::newRow("2046 pixels") << "area 0 0 62 33" << 0 << QByteArray();
        QTest::newRow("256 wide") << "area 0 0 256 1" << 0 << QByteArray();
        QTest::newRow("empty") << "area 0 0 0 5" << 0 << QByteArray();
        QTest::newRow("portrait") << "portrait" << 1 << report("0055a1f102", 4105);
        QTest::newRow("clock at 9:05:07") << "clock" << 1 << report("0055a1f2090507", 4105);
        QTest::newRow("clock after turning at 23:59:58") << "turned clock" << 1 << report("0055a1f3173b3a", 4105);
    }

    void packets()
    {
        QFETCH(QString, send);
        QFETCH(int, number);
        QFETCH(QByteArray, bytes);
        const QTime now = send == "turned clock" ? QTime(23, 59, 58) : QTime(9, 5, 7);
        korvo::platform::setClockOverride([now] { return QDateTime(QDate(2024, 3, 1), now); });
        std::vector<uint8_t> pixels(256 * 256 * 2);
        pixels[0] = 0xF8;
        pixels[3] = 0x1F;
        const QStringList area = send.split(' ');
        if (bytes.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not fit one packet"));
        const bool sent = send == "frame"      ? SendFrame(numberedFrame.data(), 0)
                          : area[0] == "area"  ? SendAreaImageWithPos(pixels.data(), area[1].toInt(), area[2].toInt(),
                                                                      area[3].toInt(), area[4].toInt())
                          : send == "portrait" ? SendOrientation(1)
                          : send == "clock"    ? SendTimeSync()
                                               : SendTimeSyncAfterOrientation();
        QCOMPARE(sent, !bytes.isEmpty());
        const std::vector<QByteArray> log = screen->log();
        QCOMPARE(int(log.size()), bytes.isEmpty() ? 0 : send == "frame" ? 27 : 1);
        if (!bytes.isEmpty())
            QCOMPARE(log[size_t(number - 1)], bytes);
        QCOMPARE(screen->stats().framesCompleted, send == "frame" ? 1 : 0);
        QCOMPARE(screen->stats().rejected, 0);
    }

    // A failed write logs which packet failed and why, closes the handle, and nothing more is written.
    void failedWrites_data()
    {
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QStringList>("log");
        const QString injected = " to the screen failed: injected write fault.\n";
        QTest::newRow("frame") << "frame" << QStringList{"Writing chunk 1 of 27 of a frame" + injected};
        QTest::newRow("area") << "area"
                              << QStringList{"Unable to SendAreaImageWithPos.\n",
                                             "Writing the area at 300,20" + injected};
        QTest::newRow("clock") << "clock" << QStringList{"Writing the clock command" + injected};
    }

    void failedWrites()
    {
        QFETCH(QString, packet);
        screen->failWrite(1);
        auto send = [&packet] {
            return packet == "frame"  ? SendFrame(numberedFrame.data(), 0)
                   : packet == "area" ? SendAreaImageWithPos(numberedFrame.data(), 300, 20, 4, 4)
                                      : SendTimeSync();
        };
        LogCapture capture;
        QVERIFY(!send());
        QTEST(LogCapture::lines, "log");
        QCOMPARE(int(screen->log().size()), 1);
        QCOMPARE(screen->stats().openHandles, 0);
        QVERIFY(commandHandle == nullptr);
        attach();
        QVERIFY(send());
    }

    // The vendor interface is taken only with the screen's product, usage page and usage; the last one listed
    // wins; it opens by the product's exact name, each time; nothing opens when hidapi cannot start.
    void openByName_data()
    {
        QTest::addColumn<std::vector<Listed>>("devices");
        QTest::addColumn<int>("opens");
        const std::vector<Listed> both{consumer, vendor};
        const char* path = VirtualScreen::vendorPath();
        QTest::newRow("product name") << both << 2;
        QTest::newRow("trailing space") << both << 0;
        QTest::newRow("hidapi fails") << both << 0;
        QTest::newRow("other usage") << std::vector<Listed>{{path, 0xFD01, 0xFFA0, 2, 0x100}} << 0;
        QTest::newRow("other product") << std::vector<Listed>{{path, 0xFD02, 0xFFA0, 1, 0x100}} << 0;
        QTest::newRow("later one wins") << std::vector<Listed>{{"/dev/hidraw7", 0xFD01, 0xFFA0, 1, 0x100}, vendor} << 1;
    }

    void openByName()
    {
        QFETCH(std::vector<Listed>, devices);
        QFETCH(int, opens);
        const QByteArray how = QTest::currentDataTag();
        const char* name = how == "trailing space" ? "TFT Screen " : "TFT Screen";
        listed = devices;
        initResult = how == "hidapi fails" ? -1 : 0;
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), initResult);
        OpenScreenByName(name);
        OpenScreenByName(name); // the handles it replaces are closed
        QCOMPARE(screen->stats().opens, 2 * opens);
        QCOMPARE(screen->stats().openHandles, opens);
        QCOMPARE(commandHandle != nullptr, opens > 0);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"
