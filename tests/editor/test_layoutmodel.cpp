#include "config/configstore.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "editor/layoutmodel.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QtTest>

using namespace korvo;

using SlotRow = std::array<int, SlotCount>;
Q_DECLARE_METATYPE(SlotRow)

class TestLayoutModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void slotAssignmentFromFreshFileAndCommit();
    void showAndHideInFiveSlots_data();
    void showAndHideInFiveSlots();
    void centreStyleIsOneHot();
    void undo_data();
    void undo();
    void backgroundPicture();
    void loadLayoutPicksTheRecord_data();
    void loadLayoutPicksTheRecord();
    void commitPublishesACopy();

private:
    std::unique_ptr<TempConfig> temp;
};

namespace {
ThemeProfile customProfile(int style, int color)
{
    ThemeProfile profile;
    profile.Mode = 1;
    profile.Style = uint8_t(style);
    profile.custom[0].Color = uint8_t(color);
    return profile;
}
} // namespace

void TestLayoutModel::init()
{
    temp = std::make_unique<TempConfig>();
    QVERIFY(QDir().mkpath(temp->configDir()));
}

void TestLayoutModel::slotAssignmentFromFreshFileAndCommit()
{
    LayoutModel model;
    QCOMPARE(model.working().customShow, (CustomShowTable{{{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}}}));
    QCOMPARE(model.working().curRectId, 1);
    model.ResetCustomShow();
    QVERIFY(model.CommitLayout());
    QVERIFY(temp->readConfig().contains("[CustomShow]\n0-0=0\n0-1=1\n0-2=3\n0-3=2\n0-4=4\n"
                                        "1-0=-1\n1-1=-1\n1-2=0\n1-3=-1\n1-4=-1\n"));
    QVERIFY(temp->readConfig().contains("[Config]\nCurRectID=1\n"));
}

void TestLayoutModel::showAndHideInFiveSlots_data()
{
    QTest::addColumn<SlotRow>("start");
    QTest::addColumn<QString>("steps"); // kind followed by + to show or - to hide
    QTest::addColumn<SlotRow>("expected");
    QTest::addColumn<QString>("shown"); // Show_ flags of kinds 0..8 afterwards
    const SlotRow defaults{0, 1, 3, 2, 4};
    QTest::newRow("date shares the time slot") << defaults << "5+" << defaults << "111111000";
    QTest::newRow("hiding time hands the slot to the date")
        << defaults << "5+ 3-" << SlotRow{0, 1, 5, 2, 4} << "111011000";
    QTest::newRow("hiding the date too empties it") << defaults << "5+ 3- 5-" << SlotRow{0, 1, -1, 2, 4} << "111010000";
    QTest::newRow("time joins the date") << SlotRow{0, 1, 5, 2, 4} << "5+ 3+" << defaults << "111111000";
    QTest::newRow("sixth kind when all slots are full") << defaults << "6+" << defaults << "111110100";
    QTest::newRow("hiding frees the slot") << defaults << "1-" << SlotRow{0, -1, 3, 2, 4} << "101110000";
    QTest::newRow("first empty slot") << SlotRow{-1, 1, -1, 2, 4} << "6+" << SlotRow{6, 1, -1, 2, 4} << "011010100";
    QTest::newRow("date into slot 0") << SlotRow{-1, -1, -1, -1, -1} << "5+" << SlotRow{5, -1, -1, -1, -1}
                                      << "000001000";
    QTest::newRow("shown twice stays in one slot")
        << SlotRow{0, -1, -1, -1, -1} << "0+" << SlotRow{0, -1, -1, -1, -1} << "100000000";
}

void TestLayoutModel::showAndHideInFiveSlots()
{
    QFETCH(SlotRow, start);
    QFETCH(QString, steps);
    QFETCH(SlotRow, expected);
    QFETCH(QString, shown);
    QString startText;
    for (int slot = 0; slot < SlotCount; ++slot)
        startText += QString("0-%1=%2\n").arg(slot).arg(start[slot]);
    QVERIFY(temp->writeConfig("[CustomShow]\n" + startText.toLatin1()));
    ThemeProfile profile = customProfile(0, 0);
    for (int kind : start) {
        if (kind >= 0)
            profile.custom[0].Show_[kind] = 1;
    }
    LayoutModel model;
    model.LoadLayout(profile, true);
    for (const QString& step : steps.split(' '))
        model.SetElementShown(step.left(1).toInt(), step.endsWith('+') ? 1 : 0);
    QCOMPARE(model.working().customShow[0], expected);
    QString flags;
    for (uint8_t flag : model.working().record.Show_)
        flags += QString::number(flag);
    QCOMPARE(flags, shown);
}

void TestLayoutModel::centreStyleIsOneHot()
{
    LayoutModel model;
    model.ResetCustomShow();
    model.LoadLayout(customProfile(1, 0), true);
    model.SetElementShown(4, 1);
    model.SetElementShown(6, 1);
    const LayoutState& state = model.working();
    QCOMPARE(state.record.Show2_, (std::array<uint8_t, 9>{0, 0, 0, 0, 0, 0, 1, 0, 0}));
    QCOMPARE(state.customShow[1], (SlotRow{-1, -1, 6, -1, -1}));
    QCOMPARE(state.customShow[0], (SlotRow{0, 1, 3, 2, 4}));
    QCOMPARE(state.record.Show_, (std::array<uint8_t, 9>{}));
    model.SetElementShown(6, 0);
    QCOMPARE(model.working().customShow[1], (SlotRow{-1, -1, -1, -1, -1}));
}

void TestLayoutModel::undo_data()
{
    QTest::addColumn<QList<int>>("colours"); // chosen one after another once editing is on
    QTest::addColumn<bool>("toStart");
    QTest::addColumn<int>("expectedColour");
    QTest::addColumn<QList<int>>("expectedSignals");
    QTest::addColumn<int>("expectedHistory");
    QTest::newRow("nothing to undo") << QList<int>{} << false << 2 << QList<int>{} << 1;
    QTest::newRow("one step") << QList<int>{4} << false << 2 << QList<int>{2} << 1;
    QTest::newRow("one of two steps") << QList<int>{4, 5} << false << 4 << QList<int>{4} << 2;
    QTest::newRow("back to the start") << QList<int>{4, 5, 1} << true << 2 << QList<int>{2} << 0;
}

void TestLayoutModel::undo()
{
    QFETCH(QList<int>, colours);
    QFETCH(bool, toStart);
    QFETCH(int, expectedColour);
    QFETCH(QList<int>, expectedSignals);
    QFETCH(int, expectedHistory);
    LayoutModel model;
    model.LoadLayout(customProfile(0, 2), true);
    model.SetEditingActive(true);
    for (int colour : colours)
        model.SetTextColor(colour);
    QSignalSpy colourSpy(&model, &LayoutModel::UndoColorSignal);
    QSignalSpy sizeSpy(&model, &LayoutModel::UndoTextSize);
    model.UndoEdit(toStart);
    QCOMPARE(int(model.working().record.Color), expectedColour);
    QList<int> emitted;
    for (const QList<QVariant>& args : colourSpy)
        emitted << args.at(0).toInt();
    QCOMPARE(emitted, expectedSignals);
    QCOMPARE(sizeSpy.size(), expectedSignals.size());
    QCOMPARE(int(model.editHistory().size()), expectedHistory);
}

void TestLayoutModel::backgroundPicture()
{
    const QString fallback = temp->dir.path() + "/default.png";
    QImage red(8, 4, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    QVERIFY(red.save(fallback));
    const QString chosen = temp->dir.path() + "/chosen.png";
    QVERIFY(QImage(6, 6, QImage::Format_RGB32).save(chosen));

    ThemeProfile profile = customProfile(0, 0);
    profile.custom[0].StringD1 = fallback;
    profile.custom[0].StringPixmap = chosen;
    profile.custom[0].XPt = 5;
    profile.custom[0].YPt = -3;
    profile.custom[0].XZoom = -8;
    profile.custom[0].YZoom = -8;
    LayoutModel model;
    model.LoadLayout(profile, true);
    QCOMPARE(model.previewBackground().size(), QSize(6, 6));

    model.SetBackgroundPicture(QString());
    const LayoutRecord& record = model.working().record;
    QCOMPARE(record.StringPixmap, QString());
    QCOMPARE((std::array<int, 4>{record.XPt, record.YPt, record.XZoom, record.YZoom}), (std::array<int, 4>{}));
    QCOMPARE(model.customBackground().size(), QSize(8, 4));
    QCOMPARE(model.previewBackground().pixel(7, 3), qRgb(255, 0, 0));

    LogCapture log;
    model.SetBackgroundPicture(temp->dir.path() + "/gone.png");
    QVERIFY(model.previewBackground().isNull());
    QCOMPARE(LogCapture::lines, QStringList{"Unable to load the picture " + temp->dir.path() + "/gone.png.\n"});
}

void TestLayoutModel::loadLayoutPicksTheRecord_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("theme");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("logLines");
    QTest::newRow("theme 3 landscape") << 0 << 0 << 2 << "H3" << 0;
    QTest::newRow("theme 1 portrait") << 0 << 1 << 0 << "V1" << 0;
    QTest::newRow("theme 4 portrait") << 0 << 1 << 3 << "V4" << 0;
    QTest::newRow("custom") << 1 << 1 << 3 << "CUSTOM0" << 0;
    QTest::newRow("theme that does not exist") << 0 << 0 << 7 << "H1" << 1;
}

void TestLayoutModel::loadLayoutPicksTheRecord()
{
    QFETCH(int, mode);
    QFETCH(int, hor);
    QFETCH(int, theme);
    QFETCH(QString, expected);
    QFETCH(int, logLines);
    ThemeProfile profile;
    profile.Mode = uint8_t(mode);
    profile.Hor = uint8_t(hor);
    profile.ThemeID = uint8_t(theme);
    for (int n = 0; n < 4; ++n) {
        profile.landscape[n].String_[0] = QString("H%1").arg(n + 1);
        profile.portrait[n].String_[0] = QString("V%1").arg(n + 1);
    }
    profile.custom[0].String_[0] = "CUSTOM0";
    LayoutModel model;
    LogCapture log;
    model.LoadLayout(profile, false);
    QCOMPARE(model.working().record.String_[0], expected);
    QCOMPARE(model.committed().record.String_[0], QString());
    QCOMPARE(LogCapture::lines.size(), logLines);
}

void TestLayoutModel::commitPublishesACopy()
{
    LayoutModel model;
    model.LoadLayout(customProfile(0, 1), true);
    const std::shared_ptr<const LayoutState> before = model.committedLayout().get();
    model.SetTextColor(5);
    model.setCurRectId(2);
    QCOMPARE(int(model.committedLayout().get()->record.Color), 1);
    model.CommitLayout();
    QCOMPARE(int(model.committedLayout().get()->record.Color), 5);
    QCOMPARE(model.committedLayout().get()->curRectId, 2);
    QCOMPARE(int(before->record.Color), 1);
    QCOMPARE(curRectId(), 2);
}

QTEST_GUILESS_MAIN(TestLayoutModel)
#include "test_layoutmodel.moc"
