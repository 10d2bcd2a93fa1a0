#include "app/virtualscreenviewer.h"
#include "link/link.h"
#include "link/virtualscreen.h"

#include <QtTest>

#include <thread>

using namespace korvo;
using namespace korvo::link;

namespace {

// Big-endian RGB565 quarters: red top left, green top right, blue bottom left, white bottom right.
std::vector<uint8_t> quarterFrame()
{
    std::vector<uint8_t> frame;
    for (int y = 0; y < 170; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint16_t colour = y < 85 ? (x < 160 ? 0xF800 : 0x07E0) : (x < 160 ? 0x001F : 0xFFFF);
            frame.push_back(uint8_t(colour >> 8));
            frame.push_back(uint8_t(colour));
        }
    return frame;
}

// Counts the queued calls that reach the viewer.
struct MetaCallCounter : QObject
{
    int calls = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        calls += event->type() == QEvent::MetaCall;
        return false;
    }
};

} // namespace

class TestVirtualScreenViewer : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualScreen> screen;

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules("default.debug=false"); }

    void init()
    {
        screen = std::make_unique<VirtualScreen>();
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), 0);
    }

    void cleanup() { screen.reset(); }

    void shows_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("colour");
        const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
        const QSize wide(640, 340), tall(340, 640);
        QTest::newRow("landscape last red") << false << wide << QPoint(319, 169) << red;
        QTest::newRow("landscape first green") << false << wide << QPoint(320, 169) << green;
        QTest::newRow("landscape first blue") << false << wide << QPoint(319, 170) << blue;
        // Turned back upright: the frame's top edge is the picture's right edge.
        QTest::newRow("portrait first red") << true << tall << QPoint(170, 319) << red;
        QTest::newRow("portrait first green") << true << tall << QPoint(170, 320) << green;
        QTest::newRow("portrait first white") << true << tall << QPoint(169, 320) << white;
    }

    void shows()
    {
        QFETCH(bool, portrait);
        QFETCH(QSize, size);
        QFETCH(QPoint, point);
        QFETCH(QRgb, colour);
        VirtualScreenViewer viewer(*screen);
        QCOMPARE(viewer.windowTitle(), QString("Korvo TFT — virtual screen"));
        // The refresh thread sends; the viewer learns of it through a queued call.
        std::thread sender([portrait] {
            const std::vector<uint8_t> frame = quarterFrame();
            SendOrientation(portrait ? 1 : 0);
            SendFrame(frame.data(), 0);
        });
        sender.join();
        QTRY_COMPARE(viewer.size(), size);
        QCOMPARE(viewer.grab().toImage().pixel(point), colour);
    }

    // A burst of packets posts one refresh, and the next burst posts the next.
    void burstPostsOneRefresh()
    {
        VirtualScreenViewer viewer(*screen);
        MetaCallCounter counter;
        viewer.installEventFilter(&counter);
        for (int burst = 1; burst <= 2; ++burst) {
            std::thread sender([] {
                for (uint8_t shade = 1; shade <= 20; ++shade) {
                    const uint8_t pixel[] = {shade, shade};
                    SendAreaImageWithPos(pixel, 5, 5, 1, 1);
                }
            });
            sender.join();
            QCoreApplication::processEvents();
            QCOMPARE(counter.calls, burst);
        }
        QCOMPARE(viewer.grab().toImage().pixel(10, 10), qRgb(0x10, 0x82, 0xA5));
    }
};

QTEST_MAIN(TestVirtualScreenViewer)
#include "test_virtualscreenviewer.moc"
