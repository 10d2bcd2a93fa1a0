// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/configstore.h"
#include "config/startup.h"
#include "config/tempconfig.h"

#include <QtTest>

#include <sys/stat.h>

using namespace korvo;

namespace {
const QString Copied("File copied successfully."), Failed("Failed to copy file. ");
const QByteArray TemplatePicture("template picture"), UserPicture("user picture");

// The program's folder, holding the templates when asked.
QString programFolder(const TempConfig& temp, bool templates = true)
{
    const QString program = temp.dir.path() + "/program";
    setProgramDirOverride(program);
    const bool made = QDir().mkpath(program) &&
                      (!templates || (TempConfig::writeFile(program + "/Config.ini", "[Config]\nThemeID=1\n") &&
                                      TempConfig::writeFile(program + "/whole.png", TemplatePicture)));
    return made ? program : QString();
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setProgramDirOverride(QString()); }

    // "files" names what lies ready: templates and marker beside the program, the user's file and picture.
    void templatesAndMarker_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QStringList>("log"); // the first-use flag is raised exactly when something was copied or tried
        QTest::addColumn<int>("theme");       // 1 from the template, 2 from the user's file
        QTest::addColumn<QByteArray>("picture");
        QTest::newRow("fresh user") << "templates" << QStringList{Copied, Copied} << 1 << TemplatePicture;
        QTest::newRow("ordinary start") << "templates config picture" << QStringList{} << 2 << UserPicture;
        QTest::newRow("after installation")
            << "templates marker config picture" << QStringList{Copied, Copied} << 1 << TemplatePicture;
        QTest::newRow("only the picture missing") << "templates config" << QStringList{Copied} << 2 << TemplatePicture;
        QTest::newRow("templates missing after installation")
            << "marker config picture" << QStringList{Failed + "Config.ini", Failed + "whole.png"} << 2 << UserPicture;
    }

    void templatesAndMarker()
    {
        QFETCH(QString, files);
        QFETCH(QStringList, log);
        const bool templates = files.contains("templates"), marker = files.contains("marker");
        TempConfig temp;
        const QString program = programFolder(temp, templates), user = temp.configDir();
        QVERIFY(!program.isEmpty());
        QVERIFY(!marker || TempConfig::writeFile(program + "/first.ini", ""));
        QVERIFY(!files.contains("config") || temp.writeConfig("[Config]\nThemeID=2\n"));
        QVERIFY(!files.contains("picture") || TempConfig::writeFile(user + "/whole.png", UserPicture));

        firstUseFlag = false;
        ThemeProfile profile;
        profile.ThemeID = 3;
        {
            LogCapture capture;
            prepareStartupData(profile);
            // A failure names the file and says why.
            for (QString& line : LogCapture::lines)
                line = line.section(':', 0, 0);
            QCOMPARE(LogCapture::lines, log);
        }
        QCOMPARE(bool(firstUseFlag), !log.isEmpty());
        QTEST(int(profile.ThemeID), "theme");
        QTEST(TempConfig::readFile(user + "/whole.png"), "picture");
        // What an installation replaced stays beside it.
        QCOMPARE(TempConfig::readFile(user + "/whole.png.old"), marker ? UserPicture : QByteArray());
        // The marker stays: the program folder is the installation's, and every user has a first start after it.
        removeFirstRunMarker();
        QCOMPARE(QFile::exists(program + "/first.ini"), marker);
    }

    // Settings that cannot be read at all give way to the shipped layout, not a black one; they are kept as ".bad".
    void unreadableSettings_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("theme"); // 1 from the template, 2 from the user's file
        QTest::newRow("over 1 MB") << "big" << 1;
        QTest::newRow("a FIFO") << "fifo" << 1;
        QTest::newRow("nothing but damage") << "\x01\x02\n[unclosed\n=\n" << 1;
        QTest::newRow("one damaged line among good ones") << "[Config]\nThemeID=2\n=\n" << 2;
    }
    void unreadableSettings()
    {
        QFETCH(QString, config);
        TempConfig temp;
        QVERIFY(!programFolder(temp).isEmpty() && QDir().mkpath(temp.configDir()));
        if (config == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(temp.configFile()).constData(), 0600), 0);
        else
            QVERIFY(temp.writeConfig(config == "big" ? "[Config]\nThemeID=2\n" + QByteArray(1 << 20, ';')
                                                     : config.toLatin1()));
        ThemeProfile profile;
        LogCapture log;
        prepareStartupData(profile);
        QTEST(int(profile.ThemeID), "theme");
        const QFileInfo bad(temp.configFile() + ".bad");
        QCOMPARE(bad.exists(), profile.ThemeID == 1);
        QVERIFY(profile.ThemeID == 2 || (bad.size() > 0) == (config != "fifo"));
    }

    // A folder the user cannot change, holding read-only templates and the marker: the user gets
    // the first run once, the copies are theirs to save, and the folder stays as installed (for
    // root as for anyone, since the program never tries to change it).
    void systemInstallation()
    {
        TempConfig temp;
        const QString program = programFolder(temp);
        QVERIFY(!program.isEmpty() && TempConfig::writeFile(program + "/first.ini", ""));
        for (const char* file : {"/Config.ini", "/whole.png", "/first.ini"})
            QVERIFY(QFile::setPermissions(program + file, QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        for (int start = 1; start <= 2; ++start) {
            ThemeProfile profile;
            LogCapture log;
            prepareStartupData(profile);
            QCOMPARE(int(profile.ThemeID), start == 1 ? 1 : 3);
            QCOMPARE(showAtStart(), start == 1);
            removeFirstRunMarker();
            IniFile file = openConfig();
            file.setValue("Config/ThemeID", 3);
            QVERIFY(file.write());
        }
        QCOMPARE(QFileInfo(temp.configDir()).permissions() & 0x7077, QFile::Permissions(0x7000));
        QCOMPARE(QFileInfo(temp.configFile()).permissions() & 0x7077, QFile::Permissions(0x6000));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
