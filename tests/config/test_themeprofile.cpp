#include "config/configstore.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"

#include <QDir>
#include <QtTest>

#include <random>

using namespace korvo;

class TestThemeProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void everyFieldSurvivesARoundTrip();
    void savedKeysAsWritten_data();
    void savedKeysAsWritten();
    void freeTextAlwaysShownInCustomGroups_data();
    void freeTextAlwaysShownInCustomGroups();
    void secondCustomGroupIsNeverWritten();
    void unusableValuesTakeDefaults_data();
    void unusableValuesTakeDefaults();
    void damagedFileGivesDefaults_data();
    void damagedFileGivesDefaults();

private:
    std::unique_ptr<TempConfig> temp;
};

namespace {

// Every field different from its default and from every other group's, so that a key written
// under the wrong name or into the wrong group shows up.
LayoutRecord distinctRecord(int seed)
{
    LayoutRecord r;
    r.XPt = seed + 1;
    r.YPt = -(seed + 2);
    r.XZoom = -(seed + 3);
    r.YZoom = seed + 4;
    r.highlight = uint8_t(seed % 9);
    for (int n = 0; n < 9; ++n) {
        r.Show_[n] = uint8_t((seed + n) % 2);
        r.Show2_[n] = uint8_t(n == seed % 9);
        r.ShowRect_[n] = QRect(seed + n, 2 * n, 30 + n, 10 + seed);
        r.ShowStringRect_[n] = QRect(n, seed, 40, 12 + n);
        r.String_[n] = QString("text %1, %2 \"quoted\"").arg(seed).arg(n);
    }
    r.StringPixmap = QString("/pictures/user %1.png").arg(seed);
    r.StringD1 = QString(":/background/%1.jpg").arg(seed);
    r.StringPixmapS = QString("box%1.png").arg(seed);
    r.Size = uint8_t(seed % 3);
    r.Color = uint8_t(seed % 6);
    return r;
}

LayoutRecord customDefaults()
{
    LayoutRecord r;
    r.Show_[7] = 1;
    return r;
}

} // namespace

void TestThemeProfile::init()
{
    temp = std::make_unique<TempConfig>();
    QVERIFY(QDir().mkpath(temp->configDir()));
}

void TestThemeProfile::everyFieldSurvivesARoundTrip()
{
    ThemeProfile saved;
    saved.Mode = 1;
    saved.Hor = 1;
    saved.ThemeID = 3;
    saved.Style = 1;
    for (int n = 0; n < 4; ++n) {
        saved.landscape[n] = distinctRecord(n);
        saved.portrait[n] = distinctRecord(10 + n);
    }
    saved.custom[0] = distinctRecord(20);
    saved.custom[0].Show_[7] = 0;
    saved.custom[1] = distinctRecord(30);
    saveThemeProfile(saved);

    LogCapture log;
    ThemeProfile loaded;
    loadThemeProfile(loaded);
    ThemeProfile expected = saved;
    expected.custom[0].Show_[7] = 1;
    expected.custom[1] = customDefaults();
    QCOMPARE(loaded.Mode, expected.Mode);
    QCOMPARE(loaded.landscape, expected.landscape);
    QCOMPARE(loaded.portrait, expected.portrait);
    QCOMPARE(loaded.custom[0], expected.custom[0]);
    QVERIFY(loaded == expected);
    QVERIFY(LogCapture::lines.isEmpty());
}

void TestThemeProfile::savedKeysAsWritten_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("mode keys") << QByteArray("[Config]\nHor=1\nMode=1\nStyle=1\nThemeID=2\n");
    QTest::newRow("rectangle") << QByteArray("ShowRect_4=@Rect(10 20 30 40)\n");
    QTest::newRow("text rectangle") << QByteArray("ShowStringRect_8=@Rect(0 0 0 0)\n");
    QTest::newRow("free text") << QByteArray("String_7=\"Hi, there\"\n");
    QTest::newRow("colour and size") << QByteArray("Color=5\n");
    QTest::newRow("zoom") << QByteArray("XZoom=-8\n");
    QTest::newRow("landscape group") << QByteArray("[H4]\n");
    QTest::newRow("portrait group") << QByteArray("[V1]\n");
}

void TestThemeProfile::savedKeysAsWritten()
{
    QFETCH(QByteArray, line);
    ThemeProfile profile;
    profile.Mode = 1;
    profile.Hor = 1;
    profile.ThemeID = 2;
    profile.Style = 1;
    profile.custom[0].ShowRect_[4] = QRect(10, 20, 30, 40);
    profile.custom[0].ShowStringRect_[8] = QRect(0, 0, 0, 0);
    profile.custom[0].String_[7] = "Hi, there";
    profile.custom[0].Color = 5;
    profile.custom[0].XZoom = -8;
    saveThemeProfile(profile);
    const QByteArray file = temp->readConfig();
    QVERIFY2(file.contains(line), file.constData());
}

void TestThemeProfile::freeTextAlwaysShownInCustomGroups_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("expected");
    QTest::newRow("CUSTOM0") << "CUSTOM0" << 1;
    QTest::newRow("CUSTOM1") << "CUSTOM1" << 1;
    QTest::newRow("V1") << "V1" << 0;
    QTest::newRow("H2") << "H2" << 0;
}

void TestThemeProfile::freeTextAlwaysShownInCustomGroups()
{
    QFETCH(QString, group);
    QFETCH(int, expected);
    QVERIFY(temp->writeConfig("[" + group.toLatin1() + "]\nShow_7=0\nShow_6=1\n"));
    ThemeProfile profile;
    loadThemeProfile(profile);
    const std::map<QString, const LayoutRecord*> records{{"CUSTOM0", &profile.custom[0]},
                                                         {"CUSTOM1", &profile.custom[1]},
                                                         {"V1", &profile.portrait[0]},
                                                         {"H2", &profile.landscape[1]}};
    QCOMPARE(int(records.at(group)->Show_[7]), expected);
    QCOMPARE(int(records.at(group)->Show_[6]), 1);
}

void TestThemeProfile::secondCustomGroupIsNeverWritten()
{
    const QByteArray second("[CUSTOM1]\nColor=3\nShowRect_2=@Rect(1 2 3 4)\nString_7=Kept\n");
    QVERIFY(temp->writeConfig(second));
    ThemeProfile profile;
    profile.custom[1].Color = 1;
    profile.custom[1].String_[7] = "Replaced";
    for (int i = 0; i < 3; ++i)
        saveThemeProfile(profile);
    QVERIFY(temp->readConfig().contains(second));
    loadThemeProfile(profile);
    QCOMPARE(int(profile.custom[1].Color), 3);
    QCOMPARE(profile.custom[1].ShowRect_[2], QRect(1, 2, 3, 4));
    QCOMPARE(profile.custom[1].String_[7], QString("Kept"));
}

void TestThemeProfile::unusableValuesTakeDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("logLines");
    QTest::newRow("colour 5") << QByteArray("[CUSTOM0]\nColor=5\n") << "Color" << 5 << 0;
    QTest::newRow("colour 9") << QByteArray("[CUSTOM0]\nColor=9\n") << "Color" << 0 << 1;
    QTest::newRow("colour 259 cut to 3") << QByteArray("[CUSTOM0]\nColor=259\n") << "Color" << 3 << 0;
    QTest::newRow("colour 265 cut to 9") << QByteArray("[CUSTOM0]\nColor=265\n") << "Color" << 0 << 1;
    QTest::newRow("size 200") << QByteArray("[CUSTOM0]\nSize=200\n") << "Size" << 0 << 1;
    QTest::newRow("size 2") << QByteArray("[CUSTOM0]\nSize=2\n") << "Size" << 2 << 0;
    QTest::newRow("highlight 9") << QByteArray("[CUSTOM0]\nhighlight=9\n") << "highlight" << 0 << 1;
    QTest::newRow("show 300 cut to 44") << QByteArray("[CUSTOM0]\nShow_2=300\n") << "Show_2" << 44 << 0;
    QTest::newRow("zoom beyond reason") << QByteArray("[CUSTOM0]\nXZoom=-5000\n") << "XZoom" << 0 << 1;
    QTest::newRow("fractional shift") << QByteArray("[CUSTOM0]\nXPt=1.5\n") << "XPt" << 0 << 1;
    QTest::newRow("theme 5") << QByteArray("[Config]\nThemeID=5\n") << "ThemeID" << 0 << 1;
    QTest::newRow("theme 3") << QByteArray("[Config]\nThemeID=3\n") << "ThemeID" << 3 << 0;
    QTest::newRow("orientation 3") << QByteArray("[Config]\nHor=3\n") << "Hor" << 0 << 1;
    QTest::newRow("mode 2") << QByteArray("[Config]\nMode=2\n") << "Mode" << 0 << 1;
    QTest::newRow("style 7") << QByteArray("[Config]\nStyle=7\n") << "Style" << 0 << 1;
    QTest::newRow("mode as text") << QByteArray("[Config]\nMode=custom\n") << "Mode" << 0 << 1;
    QTest::newRow("rectangle as text") << QByteArray("[CUSTOM0]\nShowRect_0=wide\n") << "ShowRect_0 width" << 0 << 1;
    QTest::newRow("rectangle overflowing")
        << QByteArray("[CUSTOM0]\nShowRect_0=@Rect(10 0 2147483647 5)\n") << "ShowRect_0 width" << 0 << 1;
    QTest::newRow("missing rectangle") << QByteArray("[CUSTOM0]\nXPt=1\n") << "ShowRect_3 width" << 0 << 0;
    QTest::newRow("several bad values, one line")
        << QByteArray("[Config]\nHor=3\nThemeID=9\n[CUSTOM0]\nColor=9\nSize=9\n") << "Color" << 0 << 1;
}

void TestThemeProfile::unusableValuesTakeDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    QFETCH(int, expected);
    QFETCH(int, logLines);
    QVERIFY(temp->writeConfig(content));
    ThemeProfile p;
    LogCapture log;
    loadThemeProfile(p);
    const LayoutRecord& c = p.custom[0];
    const std::map<QString, int> fields{{"Color", c.Color},
                                        {"Size", c.Size},
                                        {"highlight", c.highlight},
                                        {"Show_2", c.Show_[2]},
                                        {"XZoom", c.XZoom},
                                        {"XPt", c.XPt},
                                        {"ThemeID", p.ThemeID},
                                        {"Hor", p.Hor},
                                        {"Mode", p.Mode},
                                        {"Style", p.Style},
                                        {"ShowRect_0 width", c.ShowRect_[0].width()},
                                        {"ShowRect_3 width", c.ShowRect_[3].width()}};
    QCOMPARE(fields.at(field), expected);
    QCOMPARE(LogCapture::lines.size(), logLines);
}

void TestThemeProfile::damagedFileGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    std::mt19937 random(7);
    QByteArray junk(10 * 1024 * 1024, '\0');
    for (char& c : junk)
        c = char(random());
    QTest::newRow("10 MB of binary junk") << junk;
    QTest::newRow("truncated section") << QByteArray("[Config]\nMode=1\nHor=1\n[CUSTOM0]\nColor=2\n[CUST");
}

void TestThemeProfile::damagedFileGivesDefaults()
{
    QFETCH(QByteArray, content);
    QVERIFY(temp->writeConfig(content));
    ThemeProfile loaded;
    loaded.Mode = 1;
    loaded.custom[0].Color = 4;
    LogCapture log;
    loadThemeProfile(loaded);
    ThemeProfile defaults;
    defaults.custom = {customDefaults(), customDefaults()};
    QVERIFY(loaded == defaults);
    QCOMPARE(LogCapture::lines,
             QStringList{temp->configFile() + " is damaged; its settings are ignored and defaults used.\n"});
}

QTEST_GUILESS_MAIN(TestThemeProfile)
#include "test_themeprofile.moc"
