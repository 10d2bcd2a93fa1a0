#include "link/hidbackend.h"
#include "link/link.h"
#include "link/virtualscreen.h"
#include "platform/clock.h"

#include <QtTest>

#include <memory>

using namespace korvo::link;

namespace {

// Every byte of chunk n's payload is n, so each chunk shows where it came from.
std::vector<uint8_t> numberedFrame()
{
    std::vector<uint8_t> frame(FrameBytes);
    for (int i = 0; i < FrameBytes; ++i)
        frame[i] = static_cast<uint8_t>(i / 4096 + 1);
    return frame;
}

bool allBytes(const QByteArray& bytes, int from, int to, char value)
{
    for (int i = from; i < to; ++i)
        if (bytes.at(i) != value)
            return false;
    return true;
}

} // namespace

class TestPackets : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualScreen> screen;

    void attach()
    {
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), 0);
    }

private slots:
    void init()
    {
        screen = std::make_unique<VirtualScreen>();
        screen->setLogging(true);
        attach();
    }

    void cleanup()
    {
        korvo::setClockOverride({});
        screen.reset();
    }

    void frameChunk_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("payload");
        // clang-format off
        QTest::newRow("1")  << 1  << QByteArray::fromHex("0055a3f001" "0000" "0010") << 4096;
        QTest::newRow("2")  << 2  << QByteArray::fromHex("0055a3f102" "0010" "0010") << 4096;
        QTest::newRow("16") << 16 << QByteArray::fromHex("0055a3f110" "00f0" "0010") << 4096;
        QTest::newRow("17 wraps") << 17 << QByteArray::fromHex("0055a3f111" "0000" "0010") << 4096;
        QTest::newRow("18") << 18 << QByteArray::fromHex("0055a3f112" "0010" "0010") << 4096;
        QTest::newRow("26") << 26 << QByteArray::fromHex("0055a3f11a" "0090" "0010") << 4096;
        QTest::newRow("27 tail") << 27 << QByteArray::fromHex("0055a3f21b" "00a0" "0009") << 2304;
        // clang-format on
    }

    void frameChunk()
    {
        QFETCH(int, number);
        QFETCH(QByteArray, header);
        QFETCH(int, payload);
        const std::vector<uint8_t> frame = numberedFrame();
        QVERIFY(SendFrame(frame.data(), 0));
        const std::vector<QByteArray> log = screen->log();
        QCOMPARE(int(log.size()), 27);
        const QByteArray& chunk = log[number - 1];
        QCOMPARE(chunk.size(), 4105);
        QCOMPARE(chunk.left(9).toHex(), header.toHex());
        QVERIFY(allBytes(chunk, 9, 9 + payload, char(number)));
        QVERIFY(allBytes(chunk, 9 + payload, 4105, 0));
        QCOMPARE(screen->stats().rejected, 0);
    }

    void frameReachesTheScreen()
    {
        const std::vector<uint8_t> frame = numberedFrame();
        QVERIFY(SendFrame(frame.data(), 0));
        const QImage shown = screen->framebuffer();
        QCOMPARE(screen->stats().framesCompleted, 1);
        QCOMPARE(reinterpret_cast<const uint16_t*>(shown.constScanLine(0))[0], uint16_t(0x0101));
        // Frame byte 65536 is pixel 32768: row 102, column 128, sent in chunk 17.
        QCOMPARE(reinterpret_cast<const uint16_t*>(shown.constScanLine(102))[128], uint16_t(0x1111));
        QCOMPARE(reinterpret_cast<const uint16_t*>(shown.constScanLine(169))[319], uint16_t(0x1b1b));
        QVERIFY(!frameSendBusy.load());
        QCOMPARE(screen->stats().openHandles, 0);
    }

    void areaAtX300()
    {
        const uint8_t pixels[] = {0xF8, 0x00, 0x00, 0x1F};
        QVERIFY(SendAreaImageWithPos(pixels, 300, 5, 2, 1));
        const std::vector<QByteArray> log = screen->log();
        QCOMPARE(int(log.size()), 1);
        QCOMPARE(log[0].size(), 4097);
        QCOMPARE(log[0].left(13).toHex(), QByteArray("0055a22c0105000201f800001f"));
        QVERIFY(allBytes(log[0], 13, 4097, 0));
        const QImage shown = screen->framebuffer();
        QCOMPARE(shown.pixel(300, 5), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(301, 5), qRgb(0, 0, 255));
        QCOMPARE(shown.pixel(302, 5), qRgb(0, 0, 0));
    }

    void oversizedAreaIsRefused_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("2046 pixels") << 62 << 33;
        QTest::newRow("256 wide") << 256 << 1;
        QTest::newRow("empty") << 0 << 5;
    }

    void oversizedAreaIsRefused()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const std::vector<uint8_t> pixels(256 * 256 * 2);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not fit one packet"));
        QVERIFY(!SendAreaImageWithPos(pixels.data(), 0, 0, width, height));
        QCOMPARE(screen->stats().writes, 0);
    }

    void command_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("orientation");
        QTest::newRow("landscape") << "landscape" << QTime(9, 5, 7) << QByteArray::fromHex("0055a1f101") << 1;
        QTest::newRow("portrait") << "portrait" << QTime(9, 5, 7) << QByteArray::fromHex("0055a1f102") << 2;
        QTest::newRow("clock") << "clock" << QTime(9, 5, 7) << QByteArray::fromHex("0055a1f2090507") << 0;
        QTest::newRow("clock after turning")
            << "clock after turning" << QTime(23, 59, 58) << QByteArray::fromHex("0055a1f3173b3a") << 0;
    }

    void command()
    {
        QFETCH(QString, command);
        QFETCH(QTime, now);
        QFETCH(QByteArray, bytes);
        QFETCH(int, orientation);
        korvo::setClockOverride([now] { return QDateTime(QDate(2024, 3, 1), now); });
        const bool sent = command == "landscape"  ? SendOrientation(0)
                          : command == "portrait" ? SendOrientation(1)
                          : command == "clock"    ? SendTimeSync()
                                                  : SendTimeSyncAfterOrientation();
        QVERIFY(sent);
        const std::vector<QByteArray> log = screen->log();
        QCOMPARE(int(log.size()), 1);
        QCOMPARE(log[0].size(), 4097);
        QCOMPARE(log[0].left(bytes.size()).toHex(), bytes.toHex());
        QVERIFY(allBytes(log[0], bytes.size(), 4097, 0));
        QCOMPARE(screen->orientation(), orientation);
        QCOMPARE(screen->lastClock(), orientation ? QTime() : now);
        QCOMPARE(screen->stats().rejected, 0);
    }

    void writeFailsAtChunk_data()
    {
        QTest::addColumn<int>("failing");
        QTest::newRow("first") << 1;
        QTest::newRow("second") << 2;
        QTest::newRow("wrapped offset") << 17;
        QTest::newRow("last") << 27;
    }

    void writeFailsAtChunk()
    {
        QFETCH(int, failing);
        screen->failWrite(failing);
        const std::vector<uint8_t> frame = numberedFrame();
        QVERIFY(!SendFrame(frame.data(), 0));
        QCOMPARE(int(screen->log().size()), failing);
        QCOMPARE(screen->stats().openHandles, 0);
        QCOMPARE(screen->stats().framesCompleted, 0);
        QVERIFY(!frameSendBusy.load());
        QVERIFY(commandHandle == nullptr);
        // The link is usable again at once.
        QVERIFY(SendFrame(frame.data(), 0));
        QCOMPARE(screen->stats().framesCompleted, 1);
    }

    void areaWriteFailureIsLogged()
    {
        screen->failWrite(1);
        const uint8_t pixel[] = {0xFF, 0xFF};
        QTest::ignoreMessage(QtDebugMsg, "Unable to SendAreaImageWithPos.");
        QVERIFY(!SendAreaImageWithPos(pixel, 0, 0, 1, 1));
        QCOMPARE(screen->stats().openHandles, 0);
    }

    void unplugMidFrame()
    {
        screen->unplugAfterWrites(10);
        const std::vector<uint8_t> frame = numberedFrame();
        QVERIFY(!SendFrame(frame.data(), 0));
        QCOMPARE(int(screen->log().size()), 10);
        QCOMPARE(screen->stats().openHandles, 0);
        QVERIFY(!frameSendBusy.load());
        QCOMPARE(screen->framebuffer().pixel(0, 0), qRgb(0, 0, 0));
        QVERIFY(!SendTimeSync());
        attach();
        QCOMPARE(int(screen->log().size()), 10);
    }

    void noScreen()
    {
        screen->setPresent(false);
        attach();
        QCOMPARE(screenDeviceTable.rows[0].foundB, 0u);
        const std::vector<uint8_t> frame(FrameBytes);
        QVERIFY(!SendFrame(frame.data(), 0));
        QVERIFY(!SendAreaImageWithPos(frame.data(), 0, 0, 4, 4));
        QVERIFY(!SendTimeSync());
        QVERIFY(!SendOrientation(1));
        QCOMPARE(screen->stats().opens, 0);
        QCOMPARE(screen->stats().writes, 0);
    }
};

class TestVirtualScreenChecks : public QObject
{
    Q_OBJECT

private slots:
    // The virtual screen is the other half of every link test: it must refuse what a screen
    // would not understand, or a broken sender would pass.
    void packet_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("strayByteAt");
        QTest::addColumn<bool>("accepted");
        // clang-format off
        QTest::newRow("area") << QByteArray::fromHex("0055a23f0100000101") << 4097 << -1 << true;
        QTest::newRow("area report id 1") << QByteArray::fromHex("0155a23f0100000101") << 4097 << -1 << false;
        QTest::newRow("area short") << QByteArray::fromHex("0055a2000000000101") << 4096 << -1 << false;
        QTest::newRow("area past right edge") << QByteArray::fromHex("0055a2400100000101") << 4097 << -1 << false;
        QTest::newRow("area of 2046 pixels") << QByteArray::fromHex("0055a2000000003e21") << 4097 << -1 << false;
        QTest::newRow("area of 2044 pixels") << QByteArray::fromHex("0055a2000000001c49") << 4097 << -1 << true;
        QTest::newRow("area zero width") << QByteArray::fromHex("0055a2000000000001") << 4097 << -1 << false;
        QTest::newRow("area stray padding") << QByteArray::fromHex("0055a2000000000101") << 4097 << 11 << false;
        QTest::newRow("chunk 1") << QByteArray::fromHex("0055a3f00100000010") << 4105 << -1 << true;
        QTest::newRow("chunk 1 wrong phase") << QByteArray::fromHex("0055a3f10100000010") << 4105 << -1 << false;
        QTest::newRow("chunk 2 alone") << QByteArray::fromHex("0055a3f10200100010") << 4105 << -1 << false;
        QTest::newRow("chunk 1 wrong length") << QByteArray::fromHex("0055a3f00100000009") << 4105 << -1 << false;
        QTest::newRow("landscape") << QByteArray::fromHex("0055a1f101") << 4097 << -1 << true;
        QTest::newRow("orientation 3") << QByteArray::fromHex("0055a1f103") << 4097 << -1 << false;
        QTest::newRow("clock") << QByteArray::fromHex("0055a1f2173b3b") << 4097 << -1 << true;
        QTest::newRow("clock hour 24") << QByteArray::fromHex("0055a1f2180000") << 4097 << -1 << false;
        QTest::newRow("unknown kind") << QByteArray::fromHex("0055a4") << 4097 << -1 << false;
        // clang-format on
    }

    void packet()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, length);
        QFETCH(int, strayByteAt);
        QFETCH(bool, accepted);
        VirtualScreen screen;
        QByteArray packet(length, 0);
        packet.replace(0, head.size(), head);
        if (strayByteAt >= 0)
            packet[strayByteAt] = 1;
        const HidBackend& hid = currentHidBackend();
        hid_device* vendor = hid.openPath(VirtualScreen::vendorPath());
        QVERIFY(vendor);
        QCOMPARE(hid.write(vendor, reinterpret_cast<const uint8_t*>(packet.constData()), packet.size()), length);
        hid.close(vendor);
        QCOMPARE(screen.stats().rejected, accepted ? 0 : 1);
    }

    void consumerInterfaceTakesNoReports()
    {
        VirtualScreen screen;
        const HidBackend& hid = currentHidBackend();
        hid_device* consumer = hid.openPath(VirtualScreen::consumerPath());
        const uint8_t command[4097] = {0, 0x55, 0xA1, 0xF1, 0x01};
        QCOMPARE(hid.write(consumer, command, sizeof command), -1);
        hid.close(consumer);
        QCOMPARE(screen.stats().rejected, 1);
        QCOMPARE(screen.orientation(), 0);
    }

    void packetInsideFrameIsCounted()
    {
        VirtualScreen screen;
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), 0);
        const HidBackend& hid = currentHidBackend();
        hid_device* vendor = hid.openPath(VirtualScreen::vendorPath());
        uint8_t chunk[4105] = {0, 0x55, 0xA3, 0xF0, 0x01, 0x00, 0x00, 0x00, 0x10};
        hid.write(vendor, chunk, sizeof chunk);
        QVERIFY(SendTimeSync());
        hid.close(vendor);
        QCOMPARE(screen.stats().interleaved, 1);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TestPackets packets;
    TestVirtualScreenChecks checks;
    return QTest::qExec(&packets, argc, argv) | QTest::qExec(&checks, argc, argv);
}

#include "test_packets.moc"
