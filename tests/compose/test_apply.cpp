// Applying a layout: the frame on the screen, the saved background, and what a failed send
// leaves behind.

#include "compose/applyrenderer.h"
#include "compose/arearenderer.h"
#include "compose/backdrop.h"
#include "compose/previewgeometry.h"
#include "compose/screensession.h"
#include "compose/tavoprocess.h"
#include "screenfixture.h"

#include <QPainter>
#include <QSignalSpy>

using namespace korvo;

namespace {

const QRgb red = qRgb(255, 0, 0);
const QRgb blue = qRgb(0, 0, 255);
const QRgb green = qRgb(0, 255, 0);

// Landscape: red left half, blue right half. Portrait: green with a 6 x 6 blue mark in the
// top-right corner.
QImage picture(int hor)
{
    QImage image(compose::deviceSize(hor), QImage::Format_RGB32);
    image.fill(hor == 0 ? red : green);
    QPainter(&image).fillRect(hor == 0 ? QRect(160, 0, 160, 170) : QRect(164, 0, 6, 6), blue);
    return image;
}

// One temperature value inside a single-coloured part of the picture.
QRect valueRect(int hor)
{
    return hor == 0 ? QRect(QPoint(20, 60), QPoint(119, 109)) : QRect(QPoint(35, 140), QPoint(134, 179));
}

LayoutState layout(int hor)
{
    LayoutState state;
    state.Hor = uint8_t(hor);
    state.record.highlight = Date;
    state.record.Show_[CpuTemperature] = 1;
    state.record.ShowStringRect_[CpuTemperature] = valueRect(hor);
    state.record.String_[CpuTemperature] = QStringLiteral("45℃");
    return state;
}

bool uniform(const QImage& image, const QRect& rect, QRgb colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

class TestApply : public QObject
{
    Q_OBJECT

    ScreenFixture fixture;

private slots:
    void initTestCase() { QVERIFY(fixture.start()); }
    void init() { fixture.screen->reset(); }

    void frameReachesTheScreen_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<QPoint>("markOnScreen"); // blue
        QTest::addColumn<QPoint>("plainOnScreen");
        QTest::addColumn<QRgb>("plainColour"); // also behind the value
        QTest::addColumn<int>("orientationCode");
        QTest::addColumn<QRect>("valueOnScreen");
        QTest::newRow("landscape") << 0 << QPoint(314, 5) << QPoint(5, 5) << red << 1
                                   << QRect(QPoint(20, 60), QPoint(119, 109));
        // The portrait picture's top-right corner is the screen's top-left; the value's box
        // (35, 140)-(134, 179) lands at (140, 35)-(179, 134).
        QTest::newRow("portrait") << 1 << QPoint(2, 2) << QPoint(10, 10) << green << 2
                                  << QRect(QPoint(140, 35), QPoint(179, 134));
    }

    void frameReachesTheScreen()
    {
        QFETCH(int, hor);
        QFETCH(QPoint, markOnScreen);
        QFETCH(QPoint, plainOnScreen);
        QFETCH(QRgb, plainColour);
        QFETCH(int, orientationCode);
        QFETCH(QRect, valueOnScreen);

        QVERIFY(compose::applyLayout(layout(hor), picture(hor), compose::editorSize(hor)));
        const QImage screen = fixture.screen->framebuffer();
        QCOMPARE(screen.pixel(markOnScreen), blue);
        QCOMPARE(screen.pixel(plainOnScreen), plainColour);
        // The value's text stands in its place, turned with the picture in portrait.
        QVERIFY(!uniform(screen, valueOnScreen, plainColour));
        QCOMPARE(fixture.screen->stats().framesCompleted, 1);
        QCOMPARE(fixture.screen->stats().rejected, 0);
        QCOMPARE(fixture.screen->orientation(), orientationCode);

        // The saved background has the value's place empty.
        const QImage whole(compose::wholePicturePath());
        QCOMPARE(whole.size(), compose::deviceSize(hor));
        QVERIFY(uniform(whole, valueRect(hor), plainColour));
    }

    void failedSendCommitsNothing_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("failingWrite");
        QTest::addColumn<int>("frames");
        QTest::newRow("screen unplugged") << false << 0 << 0;
        QTest::newRow("write fails mid-frame") << true << 9 << 0;
        QTest::newRow("sent") << true << 0 << 1;
    }

    void failedSendCommitsNothing()
    {
        QFETCH(bool, present);
        QFETCH(int, failingWrite);
        QFETCH(int, frames);
        fixture.screen->setPresent(present);
        if (failingWrite > 0)
            fixture.screen->failWrite(failingWrite);

        CommittedLayout committed;
        compose::ScreenSession session(committed);
        QSignalSpy commit(&session, &compose::ScreenSession::frameSent);
        QSignalSpy done(&session, &compose::ScreenSession::applyFinished);
        QVERIFY(session.apply(layout(1), picture(1), compose::editorSize(1), 0));
        QVERIFY(!session.apply(layout(1), picture(1), compose::editorSize(1), 0)); // one at a time
        QVERIFY(done.wait(20000));

        QCOMPARE(done.count(), 1); // the wait dialog closes either way
        QCOMPARE(done.at(0).at(0).toBool(), frames == 1);
        QCOMPARE(commit.count(), frames);
        QCOMPARE(fixture.screen->stats().framesCompleted, frames);
        QCOMPARE(fixture.screen->stats().commands, frames); // the orientation, only after a frame
        QVERIFY(!session.applying());
    }

    void areasFollowANewBackground()
    {
        // The time is resent every pass with the same text. Once a new background was saved it
        // must be drawn on that, even when the layout itself was not committed again.
        LayoutState working;
        working.record.highlight = CpuTemperature;
        working.record.Show_[Time] = 1;
        working.record.ShowStringRect_[Time] = QRect(100, 100, 60, 30);
        CommittedLayout committed;
        committed.set(working);
        compose::AreaRenderer renderer(committed);
        for (QRgb colour : {red, blue}) {
            QImage plain(320, 170, QImage::Format_RGB32);
            plain.fill(colour);
            QVERIFY(compose::applyLayout(working, plain, compose::editorSize(0)));
            QCOMPARE(renderer.drawMetric(QStringLiteral("09:05"), Time), 1);
            QCOMPARE(fixture.screen->framebuffer().pixel(101, 101), colour);
        }
    }

    void stoppedBeforeStartSendsNothing()
    {
        compose::TavoProcessThread thread(layout(0), picture(0), compose::editorSize(0), 0);
        QSignalSpy done(&thread, &compose::TavoProcessThread::DoProcessDlg);
        thread.stop();
        thread.start();
        QVERIFY(thread.wait(5000));
        QCOMPARE(done.count(), 0);
        QVERIFY(!thread.succeeded());
        QCOMPARE(fixture.screen->stats().writes, 0);
    }
};

QTEST_MAIN(TestApply)
#include "test_apply.moc"
