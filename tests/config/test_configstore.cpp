#include "config/configstore.h"
#include "config/tempconfig.h"

#include <QDir>
#include <QtTest>

using namespace korvo;

class TestConfigStore : public QObject
{
    Q_OBJECT

private slots:
    void folderIsCreatedOnce_data();
    void folderIsCreatedOnce();
    void folderThatCannotBeCreated();
    void curRectIdReadsSafely_data();
    void curRectIdReadsSafely();
    void setCurRectIdWritesAtOnce();
    void unwritableConfigIsReported();
    void firstRunMarker();
    void customShowReadsSafely_data();
    void customShowReadsSafely();
};

void TestConfigStore::folderIsCreatedOnce_data()
{
    QTest::addColumn<bool>("config");
    QTest::addColumn<QString>("subPath");
    QTest::newRow("configuration folder") << true << "/config/Korvo TFT";
    QTest::newRow("home data folder") << false << "/data/Korvo TFT";
}

void TestConfigStore::folderIsCreatedOnce()
{
    QFETCH(bool, config);
    QFETCH(QString, subPath);
    TempConfig temp;
    auto folder = config ? &configDirPath : &homeDataDirPath;
    firstUseFlag = false;
    QCOMPARE(folder(), temp.dir.path() + subPath);
    QVERIFY(QDir(temp.dir.path() + subPath).exists());
    QVERIFY(firstUseFlag);
    firstUseFlag = false;
    QCOMPARE(folder(), temp.dir.path() + subPath);
    QVERIFY(!firstUseFlag);
}

void TestConfigStore::folderThatCannotBeCreated()
{
    TempConfig temp;
    QVERIFY(TempConfig::writeFile(temp.dir.path() + "/config", "a file where the folder should be"));
    firstUseFlag = false;
    LogCapture log;
    QCOMPARE(curRectId(), 1);
    QVERIFY(!firstUseFlag);
    QCOMPARE(LogCapture::lines, QStringList{"Unable to create the folder " + temp.dir.path() + "/config/Korvo TFT.\n"});
}

void TestConfigStore::curRectIdReadsSafely_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("logLines");
    QTest::newRow("no file") << QByteArray() << 1 << 0;
    QTest::newRow("row 0") << QByteArray("[Config]\nCurRectID=0\n") << 0 << 0;
    QTest::newRow("row 2") << QByteArray("[Config]\nCurRectID=2\n") << 2 << 0;
    QTest::newRow("row 7") << QByteArray("[Config]\nCurRectID=7\n") << 1 << 1;
    QTest::newRow("negative") << QByteArray("[Config]\nCurRectID=-1\n") << 1 << 1;
    QTest::newRow("text") << QByteArray("[Config]\nCurRectID=top\n") << 1 << 1;
    QTest::newRow("rectangle") << QByteArray("[Config]\nCurRectID=@Rect(0 0 1 1)\n") << 1 << 1;
}

void TestConfigStore::curRectIdReadsSafely()
{
    QFETCH(QByteArray, content);
    QFETCH(int, expected);
    QFETCH(int, logLines);
    TempConfig temp;
    QVERIFY(QDir().mkpath(temp.configDir()));
    if (!content.isEmpty())
        QVERIFY(temp.writeConfig(content));
    LogCapture log;
    QCOMPARE(curRectId(), expected);
    QCOMPARE(LogCapture::lines.size(), logLines);
}

void TestConfigStore::setCurRectIdWritesAtOnce()
{
    TempConfig temp;
    setCurRectId(2);
    QCOMPARE(temp.readConfig(), QByteArray("[Config]\nCurRectID=2\n"));
    QCOMPARE(curRectId(), 2);
}

void TestConfigStore::unwritableConfigIsReported()
{
    TempConfig temp;
    QVERIFY(QDir().mkpath(temp.configFile()));
    LogCapture log;
    setCurRectId(2);
    QCOMPARE(LogCapture::lines, QStringList{"Unable to write " + temp.configFile() + ".\n"});
}

void TestConfigStore::firstRunMarker()
{
    TempConfig temp;
    setProgramDirOverride(temp.dir.path());
    LogCapture log;
    QVERIFY(!showAtStart());
    removeFirstRunMarker();
    QVERIFY(TempConfig::writeFile(temp.dir.path() + "/first.ini", QByteArray()));
    QVERIFY(showAtStart());
    removeFirstRunMarker();
    QVERIFY(!QFile::exists(temp.dir.path() + "/first.ini"));
    QVERIFY(!showAtStart());
    QVERIFY(LogCapture::lines.isEmpty());
    setProgramDirOverride(QString());
}

void TestConfigStore::customShowReadsSafely_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<CustomShowTable>("expected");
    QTest::addColumn<int>("logLines");
    QTest::newRow("no file") << QByteArray() << CustomShowTable{{{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}}} << 0;
    QTest::newRow("complete") << QByteArray("[CustomShow]\n0-0=6\n0-1=5\n0-2=8\n0-3=0\n0-4=7\n"
                                            "1-0=1\n1-1=2\n1-2=3\n1-3=4\n1-4=-1\n")
                              << CustomShowTable{{{6, 5, 8, 0, 7}, {1, 2, 3, 4, -1}}} << 0;
    QTest::newRow("out of range and wrong type") << QByteArray("[CustomShow]\n0-0=42\n0-1=3\n0-2=9\n1-2=abc\n1-3=-2\n")
                                                 << CustomShowTable{{{-1, 3, -1, -1, -1}, {-1, -1, -1, -1, -1}}} << 1;
}

void TestConfigStore::customShowReadsSafely()
{
    QFETCH(QByteArray, content);
    QFETCH(CustomShowTable, expected);
    QFETCH(int, logLines);
    TempConfig temp;
    QVERIFY(QDir().mkpath(temp.configDir()));
    if (!content.isEmpty())
        QVERIFY(temp.writeConfig(content));
    LogCapture log;
    QCOMPARE(loadCustomShow(), expected);
    QCOMPARE(LogCapture::lines.size(), logLines);
}

QTEST_GUILESS_MAIN(TestConfigStore)
#include "test_configstore.moc"
