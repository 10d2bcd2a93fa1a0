#include "config/configstore.h"
#include "config/startup.h"
#include "config/tempconfig.h"

#include <QDir>
#include <QImage>
#include <QtTest>

using namespace korvo;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void templatesAndMarker_data();
    void templatesAndMarker();
    void missingTemplatesAfterInstall();
    void shippedTemplates();
};

namespace {
const QByteArray TemplateConfig("[Config]\nMode=1\n");
const QByteArray TemplatePicture("template picture");
const QByteArray UserConfig("[Config]\nThemeID=2\n");
const QByteArray UserPicture("user picture");
const QString Copied("File copied successfully.");
} // namespace

void TestStartup::templatesAndMarker_data()
{
    QTest::addColumn<bool>("marker");
    QTest::addColumn<bool>("userConfig");
    QTest::addColumn<bool>("userPicture");
    QTest::addColumn<QByteArray>("expectedConfig");
    QTest::addColumn<QByteArray>("expectedPicture");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<bool>("expectedFlag");
    QTest::addColumn<int>("expectedMode");
    QTest::addColumn<int>("expectedTheme");
    QTest::newRow("fresh user") << false << false << false << TemplateConfig << TemplatePicture
                                << QStringList{Copied, Copied} << true << 1 << 0;
    QTest::newRow("ordinary start") << false << true << true << UserConfig << UserPicture << QStringList{} << false << 0
                                    << 2;
    QTest::newRow("after installation") << true << true << true << TemplateConfig << TemplatePicture
                                        << QStringList{Copied, Copied} << true << 1 << 0;
    QTest::newRow("only the picture missing")
        << false << true << false << UserConfig << TemplatePicture << QStringList{Copied} << true << 0 << 2;
}

void TestStartup::templatesAndMarker()
{
    QFETCH(bool, marker);
    QFETCH(bool, userConfig);
    QFETCH(bool, userPicture);
    QFETCH(QByteArray, expectedConfig);
    QFETCH(QByteArray, expectedPicture);
    QFETCH(QStringList, expectedLog);
    QFETCH(bool, expectedFlag);
    QFETCH(int, expectedMode);
    QFETCH(int, expectedTheme);

    TempConfig temp;
    const QString program = temp.dir.path() + "/program";
    QVERIFY(QDir().mkpath(program));
    QVERIFY(QDir().mkpath(temp.configDir()));
    setProgramDirOverride(program);
    QVERIFY(TempConfig::writeFile(program + "/Config.ini", TemplateConfig));
    QVERIFY(TempConfig::writeFile(program + "/whole.png", TemplatePicture));
    if (marker)
        QVERIFY(TempConfig::writeFile(program + "/first.ini", QByteArray()));
    if (userConfig)
        QVERIFY(temp.writeConfig(UserConfig));
    if (userPicture)
        QVERIFY(TempConfig::writeFile(temp.configDir() + "/whole.png", UserPicture));

    firstUseFlag = false;
    ThemeProfile profile;
    {
        LogCapture log;
        prepareStartupData(profile);
        QCOMPARE(LogCapture::lines, expectedLog);
    }
    QCOMPARE(bool(firstUseFlag), expectedFlag);
    QCOMPARE(temp.readConfig(), expectedConfig);
    QCOMPARE(TempConfig::readFile(temp.configDir() + "/whole.png"), expectedPicture);
    QCOMPARE(int(profile.Mode), expectedMode);
    QCOMPARE(int(profile.ThemeID), expectedTheme);
    QCOMPARE(QFile::exists(program + "/first.ini"), marker);
    setProgramDirOverride(QString());
}

void TestStartup::missingTemplatesAfterInstall()
{
    TempConfig temp;
    QVERIFY(QDir().mkpath(temp.configDir()));
    setProgramDirOverride(temp.dir.path());
    QVERIFY(TempConfig::writeFile(temp.dir.path() + "/first.ini", QByteArray()));
    QVERIFY(temp.writeConfig(UserConfig));
    ThemeProfile profile;
    profile.ThemeID = 3;
    LogCapture log;
    prepareStartupData(profile);
    QCOMPARE(LogCapture::lines, (QStringList{"Failed to copy file.", "Failed to copy file."}));
    QVERIFY(!QFile::exists(temp.configFile()));
    QCOMPARE(int(profile.ThemeID), 0);
    setProgramDirOverride(QString());
}

// The files the build places beside the program.
void TestStartup::shippedTemplates()
{
    TempConfig temp;
    setProgramDirOverride(qEnvironmentVariable("KORVO_PROGRAM_DIR"));
    ThemeProfile profile;
    LogCapture log;
    prepareStartupData(profile);
    QCOMPARE(LogCapture::lines, (QStringList{Copied, Copied}));
    QCOMPARE(int(profile.Mode), 1);
    QCOMPARE(int(profile.Style), 0);
    const LayoutRecord& custom = profile.custom[0];
    QCOMPARE(custom.Show_, (std::array<uint8_t, 9>{1, 1, 1, 1, 1, 0, 0, 1, 0}));
    QCOMPARE(custom.Show2_, (std::array<uint8_t, 9>{1, 0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(custom.String_[7], QString("Hello from Korvo TFT"));
    QCOMPARE(custom.StringD1, QString(":/background/1.jpg"));
    QCOMPARE(loadCustomShow(), (CustomShowTable{{{0, 1, 3, 2, 4}, {-1, -1, 0, -1, -1}}}));
    QCOMPARE(curRectId(), 1);
    QVERIFY(QFile::exists(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/Default.ini"));

    const QImage picture(temp.configDir() + "/whole.png");
    QCOMPARE(picture.size(), QSize(320, 170));
    QCOMPARE(picture.pixel(0, 0), qRgb(24, 28, 36));
    QCOMPARE(picture.pixel(319, 169), qRgb(12, 14, 18));
    setProgramDirOverride(QString());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
