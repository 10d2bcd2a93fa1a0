// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidbackend.h"
#include "link/link.h"
#include "link/linkstate.h"
#include "link/virtualscreen.h"
#include "logcapture.h"
#include "platform/clock.h"

#include <hidapi.h>

#include <QtTest>

#include <future>
#include <memory>
#include <thread>

using namespace korvo::link;

struct Listed
{
    const char* path;
    unsigned short productId, usagePage, usage, release;
};
Q_DECLARE_METATYPE(std::vector<Listed>)

namespace {

using Log = std::vector<QByteArray>;

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
        QTest::newRow("frame chunk 16") << "frame" << 16 << report("0055a3f110 00f0 0010", 4105, 4096, 16);
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
        const Log log = screen->log();
        QCOMPARE(int(log.size()), bytes.isEmpty() ? 0 : send == "frame" ? 27 : 1);
        if (!bytes.isEmpty())
            QCOMPARE(log[size_t(number - 1)], bytes);
        QCOMPARE(screen->stats().framesCompleted, send == "frame" ? 1 : 0);
        QCOMPARE(screen->stats().rejected, 0);
        QVERIFY(!frameSendBusy.load());
    }

    // A failed write logs which packet failed and why, closes the handle and clears the flag, and
    // nothing more is written; after an unplug nothing can be written at all.
    void failedWrites_data()
    {
        QTest::addColumn<QString>("packet");
        QTest::addColumn<int>("failing");
        QTest::addColumn<int>("unplugAfter");
        QTest::addColumn<QStringList>("log");
        const QString injected = " to the screen failed: injected write fault.\n";
        QTest::newRow("first chunk") << "frame" << 1 << 0 << QStringList{"Writing chunk 1 of 27 of a frame" + injected};
        QTest::newRow("unplugged mid-frame")
            << "frame" << 0 << 10
            << QStringList{
                   "Writing chunk 11 of 27 of a frame to the screen failed: the virtual screen is unplugged.\n"};
        QTest::newRow("area") << "area" << 1 << 0
                              << QStringList{"Unable to SendAreaImageWithPos.\n",
                                             "Writing the area at 300,20" + injected};
        QTest::newRow("clock") << "clock" << 1 << 0 << QStringList{"Writing the clock command" + injected};
    }

    void failedWrites()
    {
        QFETCH(QString, packet);
        QFETCH(int, failing);
        QFETCH(int, unplugAfter);
        QFETCH(QStringList, log);
        if (failing)
            screen->failWrite(failing);
        else
            screen->unplugAfterWrites(unplugAfter);
        auto send = [&packet] {
            return packet == "frame"  ? SendFrame(numberedFrame.data(), 0)
                   : packet == "area" ? SendAreaImageWithPos(numberedFrame.data(), 300, 20, 4, 4)
                                      : SendTimeSync();
        };
        LogCapture capture;
        QVERIFY(!send());
        QCOMPARE(LogCapture::lines, log);
        QCOMPARE(int(screen->log().size()), failing + unplugAfter);
        QCOMPARE(screen->stats().openHandles, 0);
        QVERIFY(commandHandle == nullptr);
        QVERIFY(!frameSendBusy.load());
        attach();
        QCOMPARE(send(), failing > 0);
    }

    // An area asked for while a frame goes out is dropped at once; one that waited for the link
    // while a frame went out is dropped too, as it would draw stale figures over the frame.
    void areaDuringFrameIsDropped()
    {
        const auto area = [] { return SendAreaImageWithPos(numberedFrame.data(), 10, 10, 2, 2); };
        std::unique_lock<std::mutex> link(detail::linkMutex);
        frameSendBusy = true;
        auto dropped = std::async(std::launch::async, area);
        const bool answeredAtOnce = dropped.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        frameSendBusy = false;
        auto queued = std::async(std::launch::async, area);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        detail::frameSerial.fetch_add(1);
        link.unlock();
        QVERIFY(answeredAtOnce);
        QVERIFY(!dropped.get());
        QVERIFY(!queued.get());
        QCOMPARE(screen->stats().writes, 0);
    }

    void record_data()
    {
        QTest::addColumn<std::vector<Listed>>("devices");
        QTest::addColumn<QByteArray>("pathB"); // the vendor interface; no row lists a consumer one
        QTest::newRow("other usage") << std::vector<Listed>{{"/dev/hidraw3", 0xFD01, 0xFFA0, 2, 0x100}} << QByteArray();
        QTest::newRow("other product") << std::vector<Listed>{{"/dev/hidraw4", 0xFD02, 0xFFA0, 1, 0x100}}
                                       << QByteArray();
        QTest::newRow("later one wins") << std::vector<Listed>{vendor, {"/dev/hidraw7", 0xFD01, 0xFFA0, 1, 0x200}}
                                        << QByteArray("/dev/hidraw7");
    }

    void record()
    {
        QFETCH(std::vector<Listed>, devices);
        QFETCH(QByteArray, pathB);
        attach(devices);
        const ScreenDeviceEntry& row = screenDeviceTable.rows[0];
        QCOMPARE(QByteArray(row.pathA), QByteArray());
        QCOMPARE(QByteArray(row.pathB), pathB);
        QCOMPARE(row.foundA, 0u);
        QCOMPARE(row.foundB, pathB.isEmpty() ? 0u : 1u);
    }

    void openByName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("hidapiInit");
        QTest::addColumn<int>("opens");
        QTest::newRow("product name") << QByteArray("TFT Screen") << 0 << 2;
        QTest::newRow("trailing space") << QByteArray("TFT Screen ") << 0 << 0;
        QTest::newRow("hidapi fails") << QByteArray("TFT Screen") << -1 << 0;
    }

    void openByName()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, hidapiInit);
        QFETCH(int, opens);
        initResult = hidapiInit;
        QCOMPARE(EnumerateScreens(), hidapiInit);
        OpenScreenByName(name.constData());
        QCOMPARE(screen->stats().opens, opens);
        QCOMPARE(commandHandle != nullptr, opens > 0);
    }

    // Every replaced handle is closed, also the consumer one CloseScreen keeps once a packet closed the command one.
    void reopeningNeverLeaks()
    {
        OpenScreenByName("TFT Screen");
        OpenScreenByName("TFT Screen");
        QCOMPARE(screen->stats().openHandles, 2);
        QVERIFY(SendTimeSync());
        QVERIFY(commandHandle == nullptr);
        CloseScreen();
        QCOMPARE(screen->stats().openHandles, 1);
        OpenScreenByName("TFT Screen");
        QCOMPARE(screen->stats().openHandles, 2);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"
