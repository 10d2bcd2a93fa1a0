// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/configstore.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"

#include <QDir>
#include <QSettings>
#include <QtTest>

using namespace korvo;

namespace {

// Every field differs from its default and the other groups', so a key under a wrong name or group shows up.
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

ThemeProfile sampleProfile()
{
    ThemeProfile p;
    p.Mode = p.Hor = p.Style = 1;
    p.ThemeID = 3;
    for (int n = 0; n < 4; ++n) {
        p.landscape[n] = distinctRecord(n);
        p.portrait[n] = distinctRecord(10 + n);
    }
    p.custom = {distinctRecord(20), distinctRecord(30)};
    return p;
}

const QByteArray Kept("[CUSTOM1]\nColor=3\nShowRect_2=@Rect(1 2 3 4)\nShow_7=0\nString_7=Kept\n\n"
                      "[Config]\nCurRectID=2\n\n[CustomShow]\n0-0=6\n0-1=5\n0-2=8\n0-3=0\n0-4=7\n"
                      "1-0=1\n1-1=2\n1-2=3\n1-3=4\n1-4=-1\n");

} // namespace

class TestConfigStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempConfig> temp;

private slots:
    void init() { temp = std::make_unique<TempConfig>(); }

    // Creating the folder raises the first-use flag; one that cannot be created (a file stands where
    // its parent should be) is logged.
    void folders()
    {
        const QString parent = temp->dir.path() + "/config", path = parent + "/Korvo TFT";
        QVERIFY(TempConfig::writeFile(parent, "a file"));
        firstUseFlag = false;
        LogCapture log;
        QCOMPARE(configDirPath(), path);
        QCOMPARE(LogCapture::lines, QStringList{"Unable to create the folder " + path + ".\n"});
        QVERIFY(!firstUseFlag && QFile::remove(parent));
        QCOMPARE(configDirPath(), path);
        QVERIFY(QDir(path).exists() && firstUseFlag);
        QCOMPARE(LogCapture::lines.size(), 1);
    }

    // A profile save writes its keys by name and leaves CUSTOM1, CurRectID and CustomShow as they are;
    // a custom group reads the free text as shown whatever the file says.
    void roundTrip()
    {
        QVERIFY(temp->writeConfig(Kept));
        const ThemeProfile saved = sampleProfile();
        saveThemeProfile(saved);
        const QByteArray file = temp->readConfig();
        for (const char* keys :
             {"Hor=1\nMode=1\nStyle=1\nThemeID=3\n",
              "[CUSTOM0]\nColor=2\nShow2_0=0\nShow2_1=0\nShow2_10=0\nShow2_2=1\n",
              "ShowRect_4=@Rect(24 8 34 30)\nShowRect_5=", "String_7=\"text 20, 7 \\\"quoted\\\"\"\n",
              "Size=2\nStringD1=:/background/20.jpg\nStringPixmap=/pictures/user 20.png\nStringPixmapS=box20.png\n",
              "XPt=21\nXZoom=-23\nYPt=-22\nYZoom=24\nhighlight=2\n", "[H4]\nColor=3\n"})
            QVERIFY2(file.contains(keys), file.constData());

        LogCapture log;
        ThemeProfile loaded;
        loadThemeProfile(loaded);
        ThemeProfile expected = saved;
        expected.custom[1] = LayoutRecord();
        expected.custom[1].Color = 3;
        expected.custom[1].ShowRect_[2] = QRect(1, 2, 3, 4);
        expected.custom[1].Show_[7] = 1;
        expected.custom[1].String_[7] = "Kept";
        QVERIFY(loaded == expected);
        QCOMPARE(curRectId(), 2);
        QCOMPARE(loadCustomShow(), (CustomShowTable{{{6, 5, 8, 0, 7}, {1, 2, 3, 4, -1}}}));
        QVERIFY(LogCapture::lines.isEmpty());
    }

    // Every value that would index a table reads as the field's default, the cut to 8 bits first.
    // Typed values are never decoded: each of these made the settings parser allocate gigabytes or
    // recurse off the stack. The rest of the file stays; a read logs all of the file's problems in
    // one line, which names them (in any order).
    void unusableValuesTakeDefaults_data()
    {
        QTest::addColumn<QString>("read"); // field=value
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("log"); // empty: no line
        QTest::newRow("colour 259 cut to 3") << "Color=3" << QByteArray("[CUSTOM0]\nColor=259\n") << "";
        QTest::newRow("text row 0, the first") << "CurRectID=0" << QByteArray("[Config]\nCurRectID=0\n") << "";
        QTest::newRow("text row -1") << "CurRectID=1" << QByteArray("[Config]\nCurRectID=-1\n")
                                     << "Config/CurRectID=-1";
        QTest::newRow("text row 3") << "CurRectID=1" << QByteArray("[Config]\nCurRectID=3\n") << "Config/CurRectID=3";
        QTest::newRow("slot entry 42") << "1-4=-1" << QByteArray("[CustomShow]\n1-4=42\n") << "CustomShow/1-4=42";
        QTest::newRow("rectangle overflowing")
            << "ShowRect_0=0" << QByteArray("[CUSTOM0]\nShowRect_0=@Rect(10 0 2147483647 5)\n")
            << "CUSTOM0/ShowRect_0=@Rect(10 0 ";
        QTest::newRow("out of range, one line")
            << "Color=0 Hor=0 XZoom=0"
            << QByteArray("[Config]\nHor=3\nThemeID=9\n[CUSTOM0]\nColor=9\nSize=9\nXZoom=-5000\n")
            << "Config/Hor=3, Config/ThemeID=9, CUSTOM0/Color=9, CUSTOM0/Size=9, CUSTOM0/XZoom=-5000";
        QTest::newRow("as text, one line")
            << "Mode=0 ShowRect_0=0 String_0="
            << QByteArray("[Config]\nMode=custom\n[CUSTOM0]\nShowRect_0=wide\nString_0=@ByteArray(abc)\n")
            << "Config/Mode=custom, CUSTOM0/ShowRect_0=wide, CUSTOM0/String_0=@ByteArray(abc)";
        const QByteArray nestedLists = "@Variant(" + QByteArray("\\0\\0\\0\\t\\0\\0\\0\\0\\x1").repeated(30000) + ")";
        QTest::newRow("typed: a 2 GB byte array, 30000 nested lists, a picture as a path")
            << "Mode=0 Hor=1 Color=0 StringPixmap= String_0=x"
            << "[Config]\nMode=@Variant(\\x00\\x00\\x00\\x0b\\x7f\\xff\\xff\\xff)\nHor=1\n[CUSTOM0]\nColor=" +
                   nestedLists + "\nStringPixmap=\"@Variant(\\0\\0\\0\\x45\\0\\x89PNG\\r\\n\\x1a\\n)\"\nString_0=x\n"
            << "Config/Mode=@Variant(, CUSTOM0/Color=@Variant(, CUSTOM0/StringPixmap=@Variant(";
    }

    void unusableValuesTakeDefaults()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, read);
        QFETCH(QString, log);
        QVERIFY(temp->writeConfig(content));
        ThemeProfile p;
        LogCapture capture;
        loadThemeProfile(p);
        const LayoutRecord& c = p.custom[0];
        const QMap<QString, QString> values{{"Color", QString::number(c.Color)},
                                            {"XZoom", QString::number(c.XZoom)},
                                            {"Mode", QString::number(p.Mode)},
                                            {"Hor", QString::number(p.Hor)},
                                            {"ShowRect_0", QString::number(c.ShowRect_[0].width())},
                                            {"StringPixmap", c.StringPixmap},
                                            {"String_0", c.String_[0]},
                                            {"CurRectID", QString::number(curRectId())},
                                            {"1-4", QString::number(loadCustomShow()[1][4])}};
        QStringList seen;
        for (const QString& field : read.split(' '))
            seen << field.section('=', 0, 0) + '=' + values.value(field.section('=', 0, 0), "?");
        QCOMPARE(seen.join(' '), read);
        QCOMPARE(LogCapture::lines.size(), log.isEmpty() ? 0 : 1);
        for (const QString& named : log.split(", ", Qt::SkipEmptyParts))
            QVERIFY2(LogCapture::lines.first().contains(named), qPrintable(LogCapture::lines.first()));
    }

    // Files written by QSettings read back as written, and ours read the same through QSettings.
    void textsAsQSettingsWritesThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes, commas, semicolons, backslashes, control characters, hex digit after a wide character")
            << QString::fromUtf8("a, \"b\"; c=d C:\\pictures\\a.png tab\tline\nend é1f");
        QTest::newRow("leading spaces") << "  x";
        QTest::newRow("trailing spaces") << "x  ";
        QTest::newRow("leading @") << "@Variant(not a value)";
        QTest::newRow("empty") << "";
    }

    void textsAsQSettingsWritesThem()
    {
        QFETCH(QString, text);
        {
            QSettings settings(temp->configFile(), QSettings::IniFormat);
            settings.setValue("CUSTOM0/String_0", text);
            settings.setValue("CUSTOM0/ShowRect_0", QRect(1, -2, 3, 4));
        }
        ThemeProfile p;
        loadThemeProfile(p);
        QCOMPARE(p.custom[0].String_[0], text);
        QCOMPARE(p.custom[0].ShowRect_[0], QRect(1, -2, 3, 4));

        p.custom[0].String_[0] = text + text;
        QVERIFY(saveThemeProfile(p));
        QSettings settings(temp->configFile(), QSettings::IniFormat);
        QCOMPARE(settings.value("CUSTOM0/String_0").toString(), text + text);
        QCOMPARE(settings.value("CUSTOM0/ShowRect_0").toRect(), QRect(1, -2, 3, 4));
        QCOMPARE(settings.status(), QSettings::NoError);
    }

    // One line that cannot be read costs only that line; every reader sees the same values; the
    // file is copied aside (the last three copies kept) before the first save rewrites it.
    void oneBadLineKeepsTheRest()
    {
        const QString bad = temp->configFile() + ".bad";
        for (int round = 1; round <= 4; ++round) {
            const QByteArray content = "[H1]\nXPt=" + QByteArray::number(round) + "\n[Config]\nMode=1\n[CUST";
            QVERIFY(temp->writeConfig(content));
            LogCapture log;
            ThemeProfile first, second;
            loadThemeProfile(first);
            loadThemeProfile(second);
            QCOMPARE(first.landscape[0].XPt, round);
            QVERIFY(first == second);
            QCOMPARE(LogCapture::lines,
                     QStringList{temp->configFile() +
                                 ": 1 line(s) cannot be read, the first at line 5; they are ignored.\n"});
            QVERIFY(saveThemeProfile(first));
            QCOMPARE(TempConfig::readFile(bad), content);
            QCOMPARE(LogCapture::lines.last(), temp->configFile() + " could not be read whole; it was copied to " +
                                                   bad + " before being rewritten.\n");
            QVERIFY(temp->readConfig().startsWith("[H1]\nColor=0\n"));
        }
        QCOMPARE(TempConfig::readFile(bad + ".1"), QByteArray("[H1]\nXPt=3\n[Config]\nMode=1\n[CUST"));
        QCOMPARE(TempConfig::readFile(bad + ".2"), QByteArray("[H1]\nXPt=2\n[Config]\nMode=1\n[CUST"));
        QVERIFY(!QFileInfo::exists(bad + ".3"));
        LogCapture log;
        QCOMPARE(curRectId(), 1);
        QVERIFY(LogCapture::lines.isEmpty());

        // A value with an unclosed quote is written back closed, not swallowing H1's keys after it.
        QVERIFY(temp->writeConfig("[H1]\nStringD1=kept.png\n\x01=\"x"));
        ThemeProfile p;
        loadThemeProfile(p);
        QVERIFY(saveThemeProfile(p));
        loadThemeProfile(p);
        QCOMPARE(p.landscape[0].StringD1, QString("kept.png"));
    }
};

QTEST_GUILESS_MAIN(TestConfigStore)
#include "test_configstore.moc"
