#include "app/virtualscreenviewer.h"
#include "link/link.h"
#include "link/virtualscreen.h"

#include <QtTest>

#include <thread>

using namespace korvo::link;

class TestVirtualScreenViewer : public QObject
{
    Q_OBJECT

    VirtualScreen screen;
    const int enumerated = (InitDeviceTable(), EnumerateScreens());
    int queuedCalls = 0;

public:
    // Counts the queued calls that reach the viewer and lets every event through.
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::MetaCall && !++queuedCalls; }

private slots:
    void initTestCase() { QCOMPARE(enumerated, 0); }
    void init() { screen.reset(); }

    void shows_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("landscape first green") << false << QPoint(320, 169) << qRgb(0, 255, 0);
        QTest::newRow("landscape first blue") << false << QPoint(319, 170) << qRgb(0, 0, 255);
        // Turned back upright: the frame's top edge is the picture's right edge.
        QTest::newRow("portrait first red") << true << QPoint(170, 319) << qRgb(255, 0, 0);
        QTest::newRow("portrait first white") << true << QPoint(169, 320) << qRgb(255, 255, 255);
    }

    // RGB565 quarters, red, green / blue, white, from the refresh thread; a burst posts one refresh.
    void shows()
    {
        QFETCH(bool, portrait);
        QFETCH(QPoint, point);
        QFETCH(QRgb, colour);
        std::vector<uint8_t> frame;
        for (int i = 0; i < 320 * 170; ++i) {
            const uint16_t rgb = i < 320 * 85 ? (i % 320 < 160 ? 0xF800 : 0x07E0) : (i % 320 < 160 ? 0x001F : 0xFFFF);
            frame.insert(frame.end(), {uint8_t(rgb >> 8), uint8_t(rgb)});
        }
        korvo::VirtualScreenViewer viewer(screen);
        viewer.installEventFilter(this);
        queuedCalls = 0;
        std::thread([&] { SendOrientation(portrait ? 1 : 0), SendFrame(frame.data(), 0); }).join();
        QCoreApplication::processEvents();
        QCOMPARE(queuedCalls, 1);
        std::thread([] { SendAreaImageWithPos(std::array<uint8_t, 2>{0x14, 0x14}.data(), 0, 0, 1, 1); }).join();
        QCoreApplication::processEvents();
        QCOMPARE(queuedCalls, 2);
        QCOMPARE(viewer.size(), portrait ? QSize(340, 640) : QSize(640, 340));
        QCOMPARE(viewer.grab().toImage().pixel(point), colour);
    }
};

QTEST_MAIN(TestVirtualScreenViewer)
#include "test_virtualscreenviewer.moc"
