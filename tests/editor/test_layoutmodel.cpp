// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/screendocument.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "editor/layoutmodel.h"

#include <QImage>
#include <QtTest>

using namespace korvo;

using SlotRow = std::array<int, SlotCount>;
// From the default row 0, 1, 3, 2, 4: kind, then + to show, - to hide; the slots; the Show_ flags afterwards
using Steps = std::tuple<QString, SlotRow, QString>;
Q_DECLARE_METATYPE(Steps)

class TestLayoutModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempConfig> temp;

private slots:
    void init() { temp = std::make_unique<TempConfig>(); }

    void showAndHideInFiveSlots_data()
    {
        QTest::addColumn<Steps>("row");
        QTest::newRow("date shares the time slot, not the empty one")
            << Steps{"1- 5+", {0, -1, 3, 2, 4}, "10111100000"};
        QTest::newRow("hiding time hands the slot to the date") << Steps{"5+ 3-", {0, 1, 5, 2, 4}, "11101100000"};
        QTest::newRow("time joins the date") << Steps{"5+ 3- 3+", {0, 1, 3, 2, 4}, "11111100000"};
        QTest::newRow("sixth kind when all slots are full") << Steps{"6+", {0, 1, 3, 2, 4}, "11111010000"};
        QTest::newRow("first empty slot") << Steps{"0- 3- 6+", {6, 1, -1, 2, 4}, "01101010000"};
        QTest::newRow("shown twice stays in one slot") << Steps{"1- 0+", {0, -1, 3, 2, 4}, "10111000000"};
    }

    void showAndHideInFiveSlots()
    {
        QFETCH(Steps, row);
        const auto& [steps, expected, shown] = row;
        QVERIFY(temp->writeConfig("[CustomShow]\n0-0=0\n0-1=1\n0-2=3\n0-3=2\n0-4=4\n"));
        ThemeProfile profile;
        profile.Mode = 1;
        profile.custom[0].Show_ = {1, 1, 1, 1, 1, 0, 0, 0, 0};
        ScreenDocument document;
        document.load();
        LayoutModel model;
        model.startFrom(document);
        model.LoadLayout(profile, true);
        for (const QString& step : steps.split(' '))
            model.SetElementShown(step.chopped(1).toInt(), step.endsWith('+') ? 1 : 0);
        QCOMPARE(model.working().customShow[0], expected);
        QString flags;
        for (uint8_t flag : model.working().record.Show_)
            flags += QString::number(flag);
        QCOMPARE(flags, shown);
    }

    // A newly chosen picture is shown and stored, without the placement made for the one before.
    void chosenPictureDropsThePlacement()
    {
        QImage picture(8, 4, QImage::Format_RGB32);
        picture.fill(qRgb(0, 0, 255));
        const QString path = temp->dir.filePath("chosen.png");
        QVERIFY(picture.save(path));
        ThemeProfile profile;
        profile.Mode = 1;
        profile.custom[0].XPt = 5;
        profile.custom[0].YZoom = -8;
        LayoutModel model;
        model.LoadLayout(profile, true);
        model.SetBackgroundPicture(path);
        const LayoutRecord& record = model.working().record;
        QCOMPARE(record.StringPixmap, path);
        QCOMPARE(QPoint(record.XPt, record.YZoom), QPoint());
        QCOMPARE(model.previewBackground().pixel(7, 3), qRgb(0, 0, 255));
    }
};

QTEST_GUILESS_MAIN(TestLayoutModel)
#include "test_layoutmodel.moc"
