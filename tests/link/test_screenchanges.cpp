#include "link/hidbackend.h"
#include "link/link.h"
#include "link/virtualscreen.h"

#include <hidapi.h>

#include <QtTest>

#include <atomic>
#include <thread>

using namespace korvo::link;

namespace {

// A report: the given head, payload bytes of one value, then zeros up to its length.
QByteArray report(const QByteArray& hex, int payload = 0, char value = 0, int length = 4097)
{
    const QByteArray bytes = QByteArray::fromHex(hex) + QByteArray(payload, value);
    return bytes + QByteArray(length - bytes.size(), 0);
}

void write(const QByteArray& packet)
{
    const HidBackend& hid = currentHidBackend();
    hid_device* vendor = hid.openPath(VirtualScreen::vendorPath());
    hid.write(vendor, reinterpret_cast<const uint8_t*>(packet.constData()), packet.size());
    hid.close(vendor);
}

} // namespace

// A viewer repaints on the screen's change callback; it must hear of every change and nothing else.
class TestScreenChanges : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualScreen> screen;
    std::atomic<int> calls{0};

private slots:
    void init()
    {
        screen = std::make_unique<VirtualScreen>();
        calls = 0;
        screen->setChangeCallback([this] { ++calls; });
    }

    void cleanup() { screen.reset(); }

    void notifies_data()
    {
        QTest::addColumn<QByteArrayList>("packets");
        QTest::addColumn<int>("expected");
        QTest::newRow("area that changes") << QByteArrayList{report("0055a2000000000101", 2, '\x12')} << 1;
        QTest::newRow("area showing what is there") << QByteArrayList{report("0055a2000000000101", 2, 0)} << 0;
        QTest::newRow("refused area") << QByteArrayList{report("0055a2400100000101", 2, '\x12')} << 0;
        QTest::newRow("orientation sent twice") << QByteArrayList{report("0055a1f102"), report("0055a1f102")} << 1;
        QTest::newRow("orientation turned back") << QByteArrayList{report("0055a1f102"), report("0055a1f101")} << 2;
        QTest::newRow("clock") << QByteArrayList{report("0055a1f20c1e00")} << 0;
        // A frame shows once its last chunk is in.
        QTest::newRow("first chunk") << QByteArrayList{report("0055a3f00100000010", 4096, '\x12', 4105)} << 0;
    }

    void notifies()
    {
        QFETCH(QByteArrayList, packets);
        QFETCH(int, expected);
        for (const QByteArray& packet : packets)
            write(packet);
        QCOMPARE(calls.load(), expected);
    }

    void wholeFrameNotifiesOnce()
    {
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), 0);
        const std::vector<uint8_t> white(FrameBytes, 0xFF);
        QVERIFY(SendFrame(white.data(), 0));
        QCOMPARE(calls.load(), 1);
    }

    // The refresh thread writes while the GUI thread replaces the callback: once the replacing call
    // returns, the old callback has finished, so whatever it points at may go away.
    void replacedWhileWriting()
    {
        std::atomic<bool> stop{false};
        std::thread writer([&stop] {
            for (uint8_t shade = 0; !stop; ++shade)
                write(report("0055a2000000000101", 2, char(shade)));
        });
        std::atomic<int> running{0};
        int stillRunning = 0;
        for (int round = 0; round < 100; ++round) {
            screen->setChangeCallback([&running] {
                ++running;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                --running;
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            screen->setChangeCallback({});
            stillRunning += running.load();
        }
        stop = true;
        writer.join();
        QCOMPARE(stillRunning, 0);
    }
};

QTEST_MAIN(TestScreenChanges)
#include "test_screenchanges.moc"
