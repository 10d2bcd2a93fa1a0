// The shipped built-in themes: their pictures load, every figure they show can be redrawn as
// area updates that fit the screen's packets and repeat the frame, and their labels fit their pills.

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

class TestThemes : public QObject
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

QTEST_MAIN(TestThemes)
#include "test_themes.moc"
