// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/applyrenderer.h"
#include "compose/backdrop.h"
#include "config/configstore.h"
#include "config/startup.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "link/link.h"
#include "link/virtualscreen.h"

#include <QtTest>

#include <sys/mount.h>

using namespace korvo;

namespace {

const QByteArray Settings("[Config]\nMode=1\nThemeID=2\n\n[CustomShow]\n0-0=6\n");
const QByteArray Damaged("[Config]\nMode=1\n[CUST");
const QByteArray Picture("the user's picture");

} // namespace

// Every file the program writes, on a full disk: what the user had stays whole, one log line says what failed.
class TestFullDisk : public QObject
{
    Q_OBJECT

    TempConfig temp;
    QString disk_;

    // Takes every free byte of the small file system, so that the next write fails.
    static bool fill(const QString& folder)
    {
        QFile filler(folder + "/filler");
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        return filler.error() != QFileDevice::NoError;
    }

private slots:
    void initTestCase()
    {
        // The user's folders on a file system of its own, 256 KB in all.
        disk_ = temp.dir.path();
        if (::mount("tmpfs", QFile::encodeName(disk_).constData(), "tmpfs", 0, "size=256k,mode=0700") != 0)
            QSKIP("mounting a small file system needs root (CI runs this as root)");
    }
    void cleanupTestCase()
    {
        if (!disk_.isEmpty())
            ::umount2(QFile::encodeName(disk_).constData(), MNT_DETACH);
    }
    void cleanup()
    {
        ::mount(nullptr, QFile::encodeName(disk_).constData(), nullptr, MS_REMOUNT, "size=256k,mode=0700");
        for (const QString& name : QDir(disk_).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY(QFile::remove(disk_ + "/" + name) || QDir(disk_ + "/" + name).removeRecursively());
        setProgramDirOverride(QString());
    }

    void previousFilesStayWhole_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QByteArray>("config"); // Config.ini before, and after
        QTest::addColumn<QStringList>("log");   // up to its first ':'
        const QStringList settingsFailed{"Unable to write " + temp.configFile()};
        QTest::newRow("settings on a read-only file system") << "profile read-only" << Settings << settingsFailed;
        QTest::newRow("settings saved") << "profile" << Settings << settingsFailed;
        QTest::newRow("damaged settings, an older copy aside") << "profile" << Damaged << settingsFailed;
        QTest::newRow("background of an apply")
            << "apply" << Settings << QStringList{"Unable to save " + temp.dir.path() + "/data/Korvo TFT/whole.png"};
        QTest::newRow("first start after an installation")
            << "startup" << Settings
            << QStringList{"Failed to copy file. Config.ini", "Failed to copy file. whole.png"};
    }
    void previousFilesStayWhole()
    {
        QFETCH(QString, write);
        QFETCH(QByteArray, config);
        const QByteArray badCopy = config == Damaged ? QByteArray("older copy") : QByteArray(); // Config.ini.bad after
        QVERIFY(temp.writeConfig(config));
        QVERIFY(TempConfig::writeFile(temp.configDir() + "/whole.png", Picture));
        QVERIFY(TempConfig::writeFile(compose::wholePicturePath(), Picture));
        QVERIFY(badCopy.isEmpty() || TempConfig::writeFile(temp.configFile() + ".bad", badCopy));
        // A template and an installation's marker beside the program.
        const QString program = temp.dir.path() + "/program";
        QVERIFY(QDir().mkpath(program));
        QVERIFY(TempConfig::writeFile(program + "/Config.ini", Settings.repeated(100)));
        QVERIFY(TempConfig::writeFile(program + "/whole.png", QByteArray(20000, 'p')));
        QVERIFY(TempConfig::writeFile(program + "/first.ini", ""));
        setProgramDirOverride(program);
        if (write.endsWith("read-only"))
            QCOMPARE(::mount(nullptr, QFile::encodeName(disk_).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
                     0);
        else
            QVERIFY(fill(disk_));

        LogCapture log;
        if (write.startsWith("profile")) {
            ThemeProfile profile;
            loadThemeProfile(profile);
            LogCapture::lines.clear();
            profile.ThemeID = 3;
            QVERIFY(!saveThemeProfile(profile));
        } else if (write == "apply") {
            QImage background(320, 170, QImage::Format_RGB32);
            background.fill(Qt::blue);
            // The picture is written only once the frame has landed, so a screen must take it.
            link::VirtualScreen screen;
            link::InitDeviceTable();
            QCOMPARE(link::EnumerateScreens(), 0);
            QVERIFY(compose::applyLayout(LayoutState(), background, QSize(320, 170)));
            LogCapture::lines = LogCapture::lines.filter("Unable to save");
        } else {
            ThemeProfile profile;
            prepareStartupData(profile);
            QCOMPARE(int(profile.ThemeID), 2);
            LogCapture::lines.removeAll("File copied successfully.");
        }
        for (QString& line : LogCapture::lines)
            line = line.section(':', 0, 0);
        QTEST(LogCapture::lines, "log");
        QCOMPARE(temp.readConfig(), config);
        QCOMPARE(TempConfig::readFile(temp.configDir() + "/whole.png"), Picture);
        QCOMPARE(TempConfig::readFile(compose::wholePicturePath()), Picture);
        if (!badCopy.isEmpty())
            QCOMPARE(TempConfig::readFile(temp.configFile() + ".bad.1"), badCopy);
        // Nothing half written lies about.
        QCOMPARE((QDir(temp.configDir()).entryList(QDir::Files) +
                  QDir(temp.dir.path() + "/data/Korvo TFT").entryList(QDir::Files))
                     .filter(QRegularExpression("\\.[A-Za-z0-9]{6}$")),
                 QStringList());
    }
};

QTEST_MAIN(TestFullDisk)
#include "test_fulldisk.moc"
