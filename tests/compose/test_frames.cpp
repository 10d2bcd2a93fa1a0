// What reaches the screen: an applied layout's frame and saved background, what a failed send
// leaves behind, the rectangles an area update resends and where they land, and the shipped
// themes (their pictures load, their figures' area updates repeat the frame, their labels fit
// their pills). Expected rectangles are worked out by hand from the element font (Noto Sans CJK
// SC standing in for Microsoft YaHei): a digit is 0.5547 em wide, ':' and '.' 0.2773 em, the line
// 1.448 em high.

#include "compose/applyrenderer.h"
#include "compose/arearenderer.h"
#include "compose/backdrop.h"
#include "compose/elementlayout.h"
#include "compose/previewgeometry.h"
#include "compose/screensession.h"
#include "compose/tavoprocess.h"
#include "config/configstore.h"
#include "config/themeprofile.h"
#include "screenfixture.h"

#include <QPainter>
#include <QSignalSpy>

#include <algorithm>
#include <cmath>

using namespace korvo;

Q_DECLARE_METATYPE(korvo::LayoutState)

namespace {

LayoutState theme(int themeId, int hor, int highlight)
{
    LayoutState state;
    state.Mode = 0;
    state.ThemeID = uint8_t(themeId);
    state.Hor = uint8_t(hor);
    state.record.highlight = uint8_t(highlight);
    state.record.String_[Time] = QStringLiteral("18:46");
    state.record.String_[Date] = QStringLiteral("2019.12.21");
    return state;
}

LayoutState showing(LayoutState state, int kind, const QRect& value)
{
    state.record.Show_[kind] = 1;
    state.record.ShowStringRect_[kind] = value;
    return state;
}

LayoutState custom(int hor, int style, const CustomShowTable& table)
{
    LayoutState state;
    state.Mode = 1;
    state.Hor = uint8_t(hor);
    state.Style = uint8_t(style);
    state.customShow = table;
    return state;
}

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
    LayoutState state = showing(theme(0, hor, Date), CpuTemperature, valueRect(hor));
    state.record.String_[CpuTemperature] = QStringLiteral("45℃");
    return state;
}

bool uniform(const QImage& image, const QRect& rect, QRgb colour)
{
    QImage plain(rect.size(), QImage::Format_RGB32);
    plain.fill(colour);
    return image.copy(rect).convertToFormat(QImage::Format_RGB32) == plain;
}

} // namespace

class TestFrames : public QObject
{
    Q_OBJECT

    ScreenFixture fixture;
    ThemeProfile profile;

    LayoutState builtIn(int themeId, int hor) const
    {
        LayoutState state;
        state.record = hor == 1 ? profile.portrait[themeId] : profile.landscape[themeId];
        state.ThemeID = uint8_t(themeId);
        state.Hor = uint8_t(hor);
        return state;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(fixture.start());
        const QString source =
            qEnvironmentVariable("KORVO_SOURCE_DIR") + QStringLiteral("/resources/templates/Config.ini");
        QFile::remove(configFilePath());
        QVERIFY(QFile::copy(source, configFilePath()));
        loadThemeProfile(profile);
    }
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

    void sentRectangles_data()
    {
        QTest::addColumn<LayoutState>("state");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("before"); // drawn first, its packets not counted
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector<QRect>>("expected");

        const QRect tempBox(QPoint(20, 30), QPoint(87, 59)); // 68 x 30 = 2040 pixels, just fits
        QTest::newRow("theme 0, changed figure: its value rectangle")
            << showing(theme(0, 0, Date), CpuTemperature, tempBox) << 0 << QString() << QStringLiteral("50℃")
            << QVector<QRect>{QRect(20, 30, 68, 30)};
        QTest::newRow("theme 0, unchanged figure: nothing")
            << showing(theme(0, 0, Date), CpuTemperature, tempBox) << 0 << QStringLiteral("50℃")
            << QStringLiteral("50℃") << QVector<QRect>{};
        QTest::newRow("theme 0, unchanged time: resent")
            << showing(theme(0, 0, Date), Time, tempBox) << 3 << QStringLiteral("09:05") << QStringLiteral("09:05")
            << QVector<QRect>{QRect(20, 30, 68, 30)};
        QTest::newRow("theme 0, 60 x 40 is too big for a packet")
            << showing(theme(0, 0, Date), CpuLoad, QRect(100, 100, 60, 40)) << 1 << QString() << QStringLiteral("7%")
            << QVector<QRect>{};
        QTest::newRow("theme 0, clipped to the screen")
            << showing(theme(0, 0, Date), CpuLoad, QRect(300, 150, 40, 30)) << 1 << QString() << QStringLiteral("7%")
            << QVector<QRect>{QRect(300, 150, 20, 20)};

        // Time at 36 px: digit 19.969, ':' 10.0, line 53. x0 = 60 + round((200 - 89.875) / 2) = 115,
        // y = 40 + round(3.5) = 44; digits at 115, 135, 115 + round(49.94), 115 + round(69.91).
        QTest::newRow("theme 1, time as four digits")
            << showing(theme(1, 0, Time), Time, QRect(QPoint(60, 40), QPoint(259, 99))) << 3 << QString()
            << QStringLiteral("09:05")
            << QVector<QRect>{QRect(115, 44, 20, 53), QRect(135, 44, 20, 53), QRect(165, 44, 20, 53),
                              QRect(185, 44, 20, 53)};
        // Date at 22 px: digit 12.203, '.' 6.109, whole 109.844, line 33. x0 = 60 + 45.078.
        QTest::newRow("theme 1, date as year, month and day, a pixel wider each side")
            << showing(theme(1, 0, Time), Date, QRect(QPoint(60, 105), QPoint(259, 140))) << 5 << QString()
            << QStringLiteral("2025.02.03")
            << QVector<QRect>{QRect(104, 105, 51, 33), QRect(159, 105, 26, 33), QRect(190, 105, 26, 33)};

        QTest::newRow("theme 2, changed power: both halves")
            << showing(theme(2, 0, CpuPower), CpuPower, QRect(QPoint(200, 60), QPoint(299, 99))) << 4 << QString()
            << QStringLiteral("35w") << QVector<QRect>{QRect(200, 60, 50, 40), QRect(250, 60, 50, 40)};

        // Portrait date at 14 px: digit 7.766, '.' 3.891, whole 69.906, line 22; x0 = 10 + 40.047.
        // Year (50, 200)-(80, 221) lands at x = 200, y = 169 - 80 = 89, turned to 22 x 31.
        QTest::newRow("theme 3 portrait, date fields turned onto the screen")
            << showing(theme(3, 1, Time), Date, QRect(QPoint(10, 200), QPoint(159, 229))) << 5 << QString()
            << QStringLiteral("2025.02.03")
            << QVector<QRect>{QRect(200, 89, 22, 31), QRect(200, 69, 22, 16), QRect(200, 50, 22, 16)};

        QTest::newRow("custom, figure in slot 0: both halves of the slot")
            << custom(0, 0, DefaultCustomShow) << 0 << QString() << QStringLiteral("50℃")
            << QVector<QRect>{QRect(10, 16, 41, 30), QRect(51, 16, 41, 30)};
        QTest::newRow("custom, figure in no slot: nothing")
            << custom(0, 0, DefaultCustomShow) << 6 << QString() << QStringLiteral("1000") << QVector<QRect>{};
        // Centre date at 16 px: digit 8.875, '.' 4.4375, whole 79.875; x0 = 120 + 1.0625.
        const CustomShowTable centreDate{{{-1, -1, -1, -1, -1}, {-1, -1, 5, -1, -1}}};
        QTest::newRow("custom centre date, only the day changed")
            << custom(0, 1, centreDate) << 5 << QStringLiteral("2025.02.02") << QStringLiteral("2025.02.03")
            << QVector<QRect>{QRect(183, 60, 18, 30)};
        // Time and date share the centre slot: the date stands in the label box below it.
        QTest::newRow("custom, date below the time")
            << showing(showing(custom(0, 0, DefaultCustomShow), Time, {}), Date, {}) << 5 << QString()
            << QStringLiteral("2025.02.03") << QVector<QRect>{QRect(110, 100, 51, 30), QRect(161, 100, 51, 30)};
    }

    void sentRectangles()
    {
        QFETCH(LayoutState, state);
        QFETCH(int, kind);
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(QVector<QRect>, expected);

        CommittedLayout committed;
        committed.set(state);
        compose::AreaRenderer renderer(committed);
        if (!before.isEmpty())
            renderer.drawMetric(before, kind);
        fixture.screen->clearLog();
        QCOMPARE(renderer.drawMetric(text, kind), expected.size());
        QCOMPARE(sentAreas(fixture.screen->log()), expected);
        QCOMPARE(fixture.screen->stats().rejected, 0);
    }

    void figureSizes_data()
    {
        QTest::addColumn<int>("themeId");
        QTest::addColumn<int>("hor");
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("pixels"); // of the highlighted power
        QTest::newRow("theme 2: fixed 26") << 2 << 0 << false << 26;
        QTest::newRow("landscape: 1.2 times") << 0 << 0 << false << 22;
        QTest::newRow("portrait: 1.3 times") << 0 << 1 << false << 23;
        QTest::newRow("English: plain") << 0 << 0 << true << 18;
    }

    void figureSizes()
    {
        QFETCH(int, themeId);
        QFETCH(int, hor);
        QFETCH(bool, english);
        QFETCH(int, pixels);
        LayoutState state = theme(themeId, hor, CpuPower);
        state.englishInterface = english;
        QCOMPARE(compose::valuePixelSize(state, CpuPower), pixels);
    }

    // A theme's date stands at the top of its box, not in the middle.
    void dateAtTheTop()
    {
        const LayoutState state = showing(theme(0, 0, CpuTemperature), Date, QRect(10, 10, 200, 100));
        QImage image(320, 170, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        for (const compose::TextItem& item : compose::valueTexts(state, Date, QStringLiteral("2025.02.03")))
            compose::drawTextItem(painter, item);
        painter.end();
        int firstLit = -1;
        for (int n = 0; n < 320 * 170 && firstLit < 0; ++n)
            firstLit = qGray(image.pixel(n % 320, n / 320)) > 128 ? n / 320 : -1;
        QVERIFY2(firstLit >= 10 && firstLit < 18, qPrintable(QString::number(firstLit)));
    }

    void areaUpdatesRepeatTheFrame_data()
    {
        QTest::addColumn<int>("themeId");
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("areas"); // every area fits one packet
        for (int hor : {0, 1}) {
            QTest::addRow("%c1", hor ? 'V' : 'H') << 0 << hor << 6; // one per figure
            QTest::addRow("%c2", hor ? 'V' : 'H') << 1 << hor << 7; // four clock digits, three date fields
            QTest::addRow("%c3", hor ? 'V' : 'H') << 2 << hor << 6; // the power in two halves
            QTest::addRow("%c4", hor ? 'V' : 'H') << 3 << hor << 9; // time in halves, date in fields
        }
    }

    void areaUpdatesRepeatTheFrame()
    {
        // Redrawing every figure with the text the frame was composed with must leave the screen
        // exactly as the frame left it: same background, same glyphs, nothing outside the areas.
        QFETCH(int, themeId);
        QFETCH(int, hor);
        QFETCH(int, areas);
        const LayoutState state = builtIn(themeId, hor);
        const QImage picture(state.record.StringD1);
        QCOMPARE(picture.size(), hor == 1 ? QSize(170, 320) : QSize(320, 170));
        QVERIFY(!QImage(state.record.StringPixmapS).isNull());
        CommittedLayout committed;
        QVERIFY(compose::applyLayout(state, picture, compose::editorSize(hor)));
        committed.set(state);
        const QImage frame = fixture.screen->framebuffer();
        compose::AreaRenderer renderer(committed);
        int sent = 0;
        for (int kind = 0; kind < FreeText; ++kind) {
            if (!state.record.String_[kind].isEmpty())
                sent += renderer.drawMetric(state.record.String_[kind], kind);
        }
        QCOMPARE(sent, areas);
        QCOMPARE(fixture.screen->stats().rejected, 0);
        QCOMPARE(fixture.screen->framebuffer(), frame);
    }

    // Every label stays inside its pill: a rounded box whose ends are half circles, less the pixel
    // of its outline, and two more at the ends, so that no character touches them.
    void labelsStayInTheirPills_data()
    {
        QTest::addColumn<int>("themeId");
        QTest::addColumn<int>("hor");
        QTest::addColumn<bool>("english");
        for (int hor : {0, 1})
            for (int themeId : {0, 2, 3})
                for (bool english : {false, true})
                    QTest::addRow("%c%d %s", hor ? 'V' : 'H', themeId + 1, english ? "English" : "Chinese")
                        << themeId << hor << english;
    }

    void labelsStayInTheirPills()
    {
        QFETCH(int, themeId);
        QFETCH(int, hor);
        QFETCH(bool, english);
        LayoutState state = builtIn(themeId, hor);
        state.englishInterface = english;
        for (const compose::TextItem& item : compose::frameTexts(state)) {
            if (std::find(state.record.ShowRect_.begin(), state.record.ShowRect_.end(), item.rect) ==
                state.record.ShowRect_.end())
                continue;
            QImage ink(compose::deviceSize(hor), QImage::Format_ARGB32_Premultiplied);
            ink.fill(Qt::transparent);
            QPainter painter(&ink);
            compose::drawTextItem(painter, item);
            painter.end();
            const QRectF pill = QRectF(item.rect).adjusted(3, 1, -3, -1);
            const double r = pill.height() / 2;
            for (int n = 0; n < ink.width() * ink.height(); ++n) {
                const QPointF at(n % ink.width() + 0.5, n / ink.width() + 0.5);
                if (qAlpha(ink.pixel(n % ink.width(), n / ink.width())) < 96)
                    continue;
                const double dx = std::max({pill.left() + r - at.x(), 0.0, at.x() - (pill.right() - r)});
                const double dy = at.y() - pill.center().y();
                QVERIFY2(dx * dx + dy * dy <= r * r,
                         qPrintable(QStringLiteral("%1 at %2,%3").arg(item.text).arg(at.x()).arg(at.y())));
            }
        }
    }

    // Theme 3's dial is a picture: it must not show a level, so its ring is even all round.
    void powerDialShowsNoLevel_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<double>("radius");
        QTest::newRow("H3") << 0 << QPointF(231.5, 102) << 56.0;
        QTest::newRow("V3") << 1 << QPointF(84.5, 136) << 62.0;
    }

    void powerDialShowsNoLevel()
    {
        QFETCH(int, hor);
        QFETCH(QPointF, centre);
        QFETCH(double, radius);
        const QImage picture(builtIn(2, hor).record.StringD1);
        const auto at = [&](int degrees) {
            const double a = degrees * M_PI / 180;
            return QColor(picture.pixel((centre + QPointF(std::cos(a), -std::sin(a)) * radius).toPoint()));
        };
        for (int degrees = 0; degrees <= 200; degrees += 20) {
            const QColor pixel = at(degrees), first = at(-20);
            QVERIFY2(std::abs(pixel.red() - first.red()) < 24 && std::abs(pixel.green() - first.green()) < 24 &&
                         std::abs(pixel.blue() - first.blue()) < 24,
                     qPrintable(pixel.name() + " against " + first.name()));
        }
    }
};

QTEST_MAIN(TestFrames)
#include "test_frames.moc"
