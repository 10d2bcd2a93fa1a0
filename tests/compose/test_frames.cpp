// SPDX-License-Identifier: GPL-3.0-or-later
// What an apply and an area update put on the screen, and the shipped themes. Expected rectangles are worked out by
// hand from the element font (Noto Sans CJK SC standing in for Microsoft YaHei): a digit is 0.5547 em wide, ':' and '.'
// 0.2773 em, the line 1.448 em high.

#include "compose/applyrenderer.h"
#include "compose/arearenderer.h"
#include "compose/elementlayout.h"
#include "compose/previewgeometry.h"
#include "compose/screensession.h"
#include "config/configstore.h"
#include "config/screendocument.h"
#include "config/themeprofile.h"
#include "screenfixture.h"

#include <QPainter>
#include <QSignalSpy>

#include <algorithm>
#include <cmath>

using namespace korvo;

// hor, blue mark on the screen, plain spot on the screen, its colour (also behind the value), value
using Apply = std::tuple<int, QPoint, QPoint, QRgb, QRect>;
// layout, kind, text drawn first (its packets not counted), text, rectangles sent
using Sent = std::tuple<korvo::LayoutState, int, QString, QString, QVector<QRect>>;
Q_DECLARE_METATYPE(Apply)
Q_DECLARE_METATYPE(Sent)

namespace {

LayoutState theme(int themeId, int hor, int highlight)
{
    LayoutState state;
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

// Landscape: red left half, blue right half. Portrait: green with a 6 x 6 blue mark at the top right.
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
    return image.copy(rect).convertToFormat(QImage::Format_RGB32) == plainImage(rect.size(), colour);
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

    void applyReachesTheScreen_data()
    {
        QTest::addColumn<Apply>("row");
        QTest::newRow("landscape") << Apply{0, {314, 5}, {5, 5}, red, {QPoint(20, 60), QPoint(119, 109)}};
        // The portrait picture's top-right corner is the screen's top-left; the value's box
        // (35, 140)-(134, 179) lands at (140, 35)-(179, 134).
        QTest::newRow("portrait") << Apply{1, {2, 2}, {10, 10}, green, {QPoint(140, 35), QPoint(179, 134)}};
    }

    void applyReachesTheScreen()
    {
        QFETCH(Apply, row);
        const auto& [hor, markOnScreen, plainOnScreen, plainColour, valueOnScreen] = row;
        ScreenDocument document;
        compose::ScreenSession session(document);
        QSignalSpy done(&session, &compose::ScreenSession::applyFinished);
        QVERIFY(session.apply(layout(hor), picture(hor), compose::editorSize(hor), 0));
        QVERIFY(!session.apply(layout(hor), picture(hor), compose::editorSize(hor), 0)); // one at a time
        QVERIFY(done.wait(20000));
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), true);
        QCOMPARE(document.committedState(), layout(hor));
        QCOMPARE(fixture.screen->stats().framesCompleted, 1);
        // The orientation and the clock after it.
        QCOMPARE(fixture.screen->stats().commands, 2);
        QVERIFY(!session.applying());

        const QImage screen = fixture.screen->framebuffer();
        QCOMPARE(screen.pixel(markOnScreen), blue);
        QCOMPARE(screen.pixel(plainOnScreen), plainColour);
        // The value's text stands in its place, turned with the picture in portrait.
        QVERIFY(!uniform(screen, valueOnScreen, plainColour));
        QCOMPARE(fixture.screen->stats().rejected, 0);
        QCOMPARE(fixture.screen->orientation(), hor == 0 ? 1 : 2);
        // The saved background has the value's place empty.
        const QImage whole(compose::wholePicturePath());
        QCOMPARE(whole.size(), compose::deviceSize(hor));
        QVERIFY(uniform(whole, valueRect(hor), plainColour));
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
            QVERIFY(compose::applyLayout(working, plainImage(QSize(320, 170), colour), compose::editorSize(0)));
            QCOMPARE(renderer.drawMetric(QStringLiteral("09:05"), Time), 1);
            QCOMPARE(fixture.screen->framebuffer().pixel(101, 101), colour);
        }
    }

    // Where a figure's areas cross the free text, the text is drawn again on top, as the frame has it.
    void freeTextSurvivesAreaUpdates_data()
    {
        QTest::addColumn<bool>("portraitEnglish");
        QTest::newRow("landscape") << false;
        QTest::newRow("portrait, English") << true;
    }

    void freeTextSurvivesAreaUpdates()
    {
        QFETCH(bool, portraitEnglish);
        LayoutState state;
        state.Mode = 1;
        state.Hor = portraitEnglish ? 1 : 0;
        state.englishInterface = portraitEnglish;
        state.customShow = DefaultCustomShow;
        state.curRectId = 1; // the row through the centre slot
        for (int kind : {CpuTemperature, CpuLoad, MemoryLoad, Time, CpuPower, FreeText})
            state.record.Show_[kind] = 1;
        state.record.String_ = {"45℃", "65%", "20%", "18:46", "15w", "2019.12.21", "1000", "Hello from Korvo TFT", ""};
        CommittedLayout layout;
        layout.set(state);
        QVERIFY(compose::applyLayout(state, plainImage(compose::deviceSize(state.Hor), qRgb(0, 0, 0)),
                                     compose::editorSize(state.Hor)));
        const QImage frame = fixture.screen->framebuffer();
        compose::AreaRenderer renderer(layout);
        int sent = 0;
        for (int kind = 0; kind < FreeText; ++kind)
            sent += renderer.drawMetric(state.record.String_[kind], kind);
        QVERIFY(sent >= 5);
        QCOMPARE(fixture.screen->framebuffer(), frame);
    }

    void sentRectangles_data()
    {
        QTest::addColumn<Sent>("row");
        const QRect tempBox(QPoint(20, 30), QPoint(87, 59)); // 68 x 30 = 2040 pixels, just fits
        const LayoutState theme0 = theme(0, 0, Date);
        QTest::newRow("theme 0, changed figure: its value rectangle")
            << Sent{showing(theme0, CpuTemperature, tempBox), 0, {}, "50℃", {QRect(20, 30, 68, 30)}};
        QTest::newRow("theme 0, clipped to the screen")
            << Sent{showing(theme0, CpuLoad, QRect(300, 150, 40, 30)), 1, {}, "7%", {QRect(300, 150, 20, 20)}};
        // Date at 22 px: digit 12.203, '.' 6.109, whole 109.844, line 33. x0 = 60 + 45.078.
        QTest::newRow("theme 1, date as year, month and day, a pixel wider each side")
            << Sent{showing(theme(1, 0, Time), Date, QRect(QPoint(60, 105), QPoint(259, 140))),
                    5,
                    {},
                    "2025.02.03",
                    {QRect(104, 105, 51, 33), QRect(159, 105, 26, 33), QRect(190, 105, 26, 33)}};
        const LayoutState slotted = custom(0, 0, DefaultCustomShow);
        QTest::newRow("custom, figure in slot 0: both halves of the slot")
            << Sent{slotted, 0, {}, "50℃", {QRect(10, 16, 41, 30), QRect(51, 16, 41, 30)}};
        QTest::newRow("custom, figure in no slot: nothing") << Sent{slotted, 6, {}, "1000", {}};
        const CustomShowTable gpu{{{9, 1, 3, 2, 10}, {-1, -1, -1, -1, -1}}};
        QTest::newRow("custom, GPU load in slot 4 like any figure")
            << Sent{custom(0, 0, gpu), 10, {}, "37%", {QRect(227, 16, 41, 30), QRect(268, 16, 41, 30)}};
        // Centre date at 16 px: digit 8.875, '.' 4.4375, whole 79.875; x0 = 120 + 1.0625.
        const CustomShowTable centreDate{{{-1, -1, -1, -1, -1}, {-1, -1, 5, -1, -1}}};
        QTest::newRow("custom centre date, only the day changed")
            << Sent{custom(0, 1, centreDate), 5, "2025.02.02", "2025.02.03", {QRect(183, 60, 18, 30)}};
        // Time and date share the centre slot: the date stands in the label box below it.
        QTest::newRow("custom, date below the time") << Sent{showing(showing(slotted, Time, {}), Date, {}),
                                                             5,
                                                             {},
                                                             "2025.02.03",
                                                             {QRect(110, 100, 51, 30), QRect(161, 100, 51, 30)}};
    }

    void sentRectangles()
    {
        QFETCH(Sent, row);
        const auto& [state, kind, before, text, expected] = row;
        CommittedLayout committed;
        committed.set(state);
        compose::AreaRenderer renderer(committed);
        // A pass reads only the figures the layout shows.
        QCOMPARE(renderer.shownFigures().test(size_t(kind)), !expected.isEmpty());
        if (!before.isEmpty())
            renderer.drawMetric(before, kind);
        fixture.screen->clearLog();
        QCOMPARE(renderer.drawMetric(text, kind), expected.size());
        QCOMPARE(sentAreas(fixture.screen->log()), expected);
        QCOMPARE(fixture.screen->stats().rejected, 0);
    }

    // The highlighted power: theme 2 fixed at 26, otherwise 1.2 times in landscape, 1.3 in portrait,
    // plain in English. A theme's date stands at the top of its box, not in the middle.
    void figureSizesAndDateAtTheTop()
    {
        LayoutState english = theme(0, 0, CpuPower);
        english.englishInterface = true;
        QList<int> sizes;
        for (const LayoutState& state : {theme(2, 0, CpuPower), theme(0, 0, CpuPower), theme(0, 1, CpuPower), english})
            sizes << compose::valuePixelSize(state, CpuPower);
        QCOMPARE(sizes, (QList<int>{26, 22, 23, 18}));
        const LayoutState state = showing(theme(0, 0, CpuTemperature), Date, QRect(10, 10, 200, 100));
        QImage image = plainImage(QSize(320, 170), qRgb(0, 0, 0));
        QPainter painter(&image);
        for (const compose::TextItem& item : compose::valueTexts(state, Date, QStringLiteral("2025.02.03")))
            compose::drawTextItem(painter, item);
        painter.end();
        int firstLit = -1;
        for (int n = 0; n < 320 * 170 && firstLit < 0; ++n)
            firstLit = qGray(image.pixel(n % 320, n / 320)) > 128 ? n / 320 : -1;
        QVERIFY2(firstLit >= 10 && firstLit < 18, qPrintable(QString::number(firstLit)));
    }

    void builtInThemes_data()
    {
        QTest::addColumn<int>("themeId");
        QTest::addColumn<int>("hor");
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("areas"); // every area fits one packet
        // One per figure; four clock digits and three date fields; power in halves; time in halves, date in fields.
        const int areas[] = {6, 7, 6, 9};
        for (int hor : {0, 1}) {
            for (bool english : {false, true}) {
                for (int themeId = 0; themeId < 4; ++themeId)
                    QTest::addRow("%c%d %s", hor ? 'V' : 'H', themeId + 1, english ? "English" : "Chinese")
                        << themeId << hor << english << areas[themeId];
            }
        }
    }

    // Redrawing every figure with the text the frame was composed with must leave the screen exactly as
    // the frame left it: same background, same glyphs, nothing outside the areas. Every label stays
    // inside its pill: a rounded box whose ends are half circles, less the pixel of its outline, and two
    // more at the ends, so that no character touches them.
    void builtInThemes()
    {
        QFETCH(int, themeId);
        QFETCH(int, hor);
        QFETCH(bool, english);
        QFETCH(int, areas);
        LayoutState state = builtIn(themeId, hor);
        state.englishInterface = english;
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
        if (themeId != 2)
            return;
        // Theme 3's dial is a picture: it must not show a level, so its ring is even all round.
        const QPointF centre = hor == 0 ? QPointF(231.5, 102) : QPointF(84.5, 136);
        const auto at = [&](int degrees) {
            const double a = degrees * M_PI / 180;
            return QColor(
                picture.pixel((centre + QPointF(std::cos(a), -std::sin(a)) * (hor == 0 ? 56 : 62)).toPoint()));
        };
        const QColor first = at(-20);
        for (int degrees = 0; degrees <= 200; degrees += 20) {
            const QColor pixel = at(degrees);
            QVERIFY2(std::abs(pixel.red() - first.red()) < 24 && std::abs(pixel.green() - first.green()) < 24 &&
                         std::abs(pixel.blue() - first.blue()) < 24,
                     qPrintable(pixel.name() + " against " + first.name()));
        }
    }
};

QTEST_MAIN(TestFrames)
#include "test_frames.moc"
