// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/screendocument.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "editor/layoutmodel.h"

#include <QImage>
#include <QtTest>

using namespace korvo;

using SlotRow = std::array<int, SlotCount>;
// Style; from the default row 0, 1, 3, 2, 4: kind, then + to show, - to hide; the style's slots; its Show_ of kinds
// (empty: not checked) 0..8 afterwards
using Steps = std::tuple<int, QString, SlotRow, QString>;
Q_DECLARE_METATYPE(Steps)

namespace {
ThemeProfile customProfile(int style)
{
    ThemeProfile profile;
    profile.Mode = 1;
    profile.Style = uint8_t(style);
    return profile;
}
} // namespace

class TestLayoutModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempConfig> temp;

private slots:
    void init()
    {
        temp = std::make_unique<TempConfig>();
        QVERIFY(QDir().mkpath(temp->configDir()));
    }

    // The centre style's rows start from a file with stray entries in its row, as an edited one may hold.
    void showAndHideInFiveSlots_data()
    {
        QTest::addColumn<Steps>("row");
        QTest::newRow("date shares the time slot, not the empty one")
            << Steps{0, "1- 5+", {0, -1, 3, 2, 4}, "10111100000"};
        QTest::newRow("hiding time hands the slot to the date") << Steps{0, "5+ 3-", {0, 1, 5, 2, 4}, "11101100000"};
        QTest::newRow("time joins the date") << Steps{0, "5+ 3- 3+", {0, 1, 3, 2, 4}, "11111100000"};
        QTest::newRow("sixth kind when all slots are full") << Steps{0, "6+", {0, 1, 3, 2, 4}, "11111010000"};
        QTest::newRow("first empty slot") << Steps{0, "0- 3- 6+", {6, 1, -1, 2, 4}, "01101010000"};
        QTest::newRow("shown twice stays in one slot") << Steps{0, "1- 0+", {0, -1, 3, 2, 4}, "10111000000"};
        QTest::newRow("centre style is one-hot") << Steps{1, "4+ 6+", {-1, -1, 6, -1, -1}, "00000010000"};
        QTest::newRow("centre style emptied") << Steps{1, "4+ 6+ 6-", {-1, -1, -1, -1, -1}, {}};
    }

    void showAndHideInFiveSlots()
    {
        QFETCH(Steps, row);
        const auto& [style, steps, expected, shown] = row;
        QVERIFY(temp->writeConfig("[CustomShow]\n0-0=0\n0-1=1\n0-2=3\n0-3=2\n0-4=4\n1-0=5\n1-4=6\n"));
        ThemeProfile profile = customProfile(style);
        if (style == 0)
            profile.custom[0].Show_ = {1, 1, 1, 1, 1, 0, 0, 0, 0};
        ScreenDocument document;
        document.load();
        LayoutModel model;
        model.startFrom(document);
        model.LoadLayout(profile, true);
        for (const QString& step : steps.split(' '))
            model.SetElementShown(step.chopped(1).toInt(), step.endsWith('+') ? 1 : 0);
        QCOMPARE(model.working().customShow[style], expected);
        QString flags;
        for (uint8_t flag : style == 1 ? model.working().record.Show2_ : model.working().record.Show_)
            flags += QString::number(flag);
        if (!shown.isEmpty())
            QCOMPARE(flags, shown);
    }

    // An empty path drops the chosen picture and its placement and shows the layout's default one.
    void emptyBackgroundPathFallsBack()
    {
        QImage picture(8, 4, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        QVERIFY(picture.save(temp->dir.path() + "/default.png"));
        picture.fill(qRgb(0, 0, 255));
        QVERIFY(picture.save(temp->dir.path() + "/chosen.png"));
        ThemeProfile profile = customProfile(0);
        profile.custom[0].StringD1 = temp->dir.path() + "/default.png";
        profile.custom[0].StringPixmap = temp->dir.path() + "/chosen.png";
        profile.custom[0].XPt = 5;
        profile.custom[0].YZoom = -8;
        LayoutModel model;
        model.LoadLayout(profile, true);
        QCOMPARE(model.previewBackground().pixel(7, 3), qRgb(0, 0, 255));

        model.SetBackgroundPicture(QString());
        const LayoutRecord& record = model.working().record;
        QCOMPARE(record.StringPixmap, QString());
        QCOMPARE(QPoint(record.XPt, record.YZoom), QPoint());
        QCOMPARE(model.previewBackground().pixel(7, 3), qRgb(255, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestLayoutModel)
#include "test_layoutmodel.moc"
