// SPDX-License-Identifier: GPL-3.0-or-later
// What an apply and an area update put on the screen, and the shipped themes. Expected rectangles are worked out by
// hand from the element font (Noto Sans CJK SC standing in for Microsoft YaHei): a digit is 0.5547 em wide, ':' and '.'
// 0.2773 em, the line 1.448 em high.

#include "compose/applyrenderer.h"
#include "compose/arearenderer.h"
#include "compose/elementlayout.h"
#include "compose/previewgeometry.h"
#include "config/configstore.h"
#include "config/themeprofile.h"
#include "screenfixture.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace korvo;

// layout, kind, text drawn first (its packets not counted), text, rectangles sent
using Sent = std::tuple<korvo::LayoutState, int, QString, QString, QVector<QRect>>;
Q_DECLARE_METATYPE(Sent)
Q_DECLARE_METATYPE(korvo::LayoutState)

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

} // namespace

class TestFrames : public QObject
{
    Q_OBJECT

    ScreenFixture fixture;
    ThemeProfile profile;

private slots:
    void initTestCase()
    {
        QVERIFY(fixture.start());
        QVERIFY(QFile::copy(qEnvironmentVariable("KORVO_SOURCE_DIR") + "/resources/templates/Config.ini",
                            configFilePath()));
        loadThemeProfile(profile);
    }
    void init() { fixture.screen->reset(); }

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

    // A theme's date stands at the top of its box, not in the middle.
    void dateAtTheTop()
    {
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

    void redrawMatchesTheFrame_data()
    {
        QTest::addColumn<LayoutState>("state");
        for (int hor : {0, 1}) {
            for (bool english : {false, true}) {
                for (int themeId = 0; themeId < 4; ++themeId) {
                    LayoutState state = theme(themeId, hor, 0);
                    state.record = (hor == 1 ? profile.portrait : profile.landscape)[themeId];
                    state.englishInterface = english;
                    QTest::addRow("%c%d %s", hor ? 'V' : 'H', themeId + 1, english ? "English" : "Chinese") << state;
                }
            }
        }
        // The free text in the row through the centre slot, crossed by the figures' areas: drawn again on top.
        for (bool portraitEnglish : {false, true}) {
            LayoutState state = custom(portraitEnglish, 0, DefaultCustomShow);
            state.englishInterface = portraitEnglish;
            for (int kind : {CpuTemperature, CpuLoad, MemoryLoad, Time, CpuPower, FreeText})
                state.record.Show_[kind] = 1;
            state.record.String_ = {"45℃", "65%", "20%", "18:46", "15w", "2019.12.21", "1000", "Hello from Korvo TFT",
                                    ""};
            QTest::newRow(portraitEnglish ? "custom V English, free text" : "custom H, free text") << state;
        }
    }

    // The shipped themes and custom layouts: redrawing every figure with the text the frame was composed with
    // must leave the screen exactly as the frame left it: same background, same glyphs, nothing outside the
    // areas, the free text drawn again where an area crosses it. Every label stays
    // inside its pill: a rounded box whose ends are half circles, less the pixel of its outline, and two
    // more at the ends, so that no character touches them.
    void redrawMatchesTheFrame()
    {
        QFETCH(LayoutState, state);
        const int hor = state.Hor;
        const QImage picture =
            state.Mode ? plainImage(compose::deviceSize(hor), qRgb(0, 0, 0)) : QImage(state.record.StringD1);
        QCOMPARE(picture.size(), hor == 1 ? QSize(170, 320) : QSize(320, 170));
        QVERIFY(state.Mode || !QImage(state.record.StringPixmapS).isNull());
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
        QVERIFY(sent >= 5);
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
        if (state.Mode || state.ThemeID != 2)
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
