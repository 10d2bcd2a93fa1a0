#include "platform/singleinstance.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <pwd.h>
#include <unistd.h>

using korvo::platform::SingleInstance;

// Each test runs its own copies under its own suffix in a private runtime folder.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;
    QByteArray suffix;
    int run = 0;

    QString runtimeFile(const char* ending) const
    {
        return runtime.path() + QStringLiteral("/korvo-tft") + QString::fromLatin1(suffix) + QLatin1String(ending);
    }

    static void writeFile(const QString& path, const QByteArray& contents)
    {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        QCOMPARE(file.write(contents), qint64(contents.size()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                          QFile::ReadUser | QFile::WriteUser | QFile::ExeUser));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }

    void init()
    {
        suffix = "-test" + QByteArray::number(++run);
        qputenv("KORVO_INSTANCE_SUFFIX", suffix);
    }

    void firstCopyOnly()
    {
        auto first = std::make_unique<SingleInstance>();
        QVERIFY(first->acquire());
        QVERIFY(QFileInfo::exists(runtimeFile(".lock")));
        QVERIFY(first->acquire());
        SingleInstance second;
        QVERIFY(!second.acquire());

        qputenv("KORVO_INSTANCE_SUFFIX", suffix + "-other");
        SingleInstance otherSuffix;
        QVERIFY(otherSuffix.acquire());
        qputenv("KORVO_INSTANCE_SUFFIX", suffix);

        first.reset();
        QVERIFY(!QFileInfo::exists(runtimeFile(".socket")));
        QVERIFY(!SingleInstance::askRunningCopyToShow());
        SingleInstance third;
        QVERIFY(third.acquire());
    }

    void leftoverLock_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("anHourOld");
        QTest::addColumn<bool>("acquired");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QByteArray app = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
        QFile bootIdFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
        const QByteArray bootId = bootIdFile.open(QIODevice::ReadOnly) ? bootIdFile.readAll().trimmed() : QByteArray();
        const QByteArray tail = host + '\n' + QSysInfo::machineUniqueId() + '\n' + bootId + '\n';
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
        // No system hands out pids this large.
        QTest::newRow("crashed copy") << "999999999\n" + app + '\n' + tail << false << true;
        QTest::newRow("crashed copy, three-line form") << "999999999\n" + app + '\n' + host + '\n' << false << true;
        QTest::newRow("running copy") << self + '\n' + app + '\n' + tail << false << false;
        QTest::newRow("running copy, an hour old") << self + '\n' + app + '\n' + tail << true << false;
    }

    void leftoverLock()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, anHourOld);
        QFETCH(bool, acquired);
        writeFile(runtimeFile(".lock"), contents);
        // A crashed copy leaves its socket file too.
        writeFile(runtimeFile(".socket"), QByteArray());
        if (anHourOld) {
            QFile lock(runtimeFile(".lock"));
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        }

        SingleInstance copy;
        QSignalSpy shows(&copy, &SingleInstance::showRequested);
        QCOMPARE(copy.acquire(), acquired);
        if (acquired) {
            QVERIFY(SingleInstance::askRunningCopyToShow());
            QVERIFY(shows.wait(2000));
        }
    }

    void secondStartShowsFirst()
    {
        SingleInstance running;
        QVERIFY(running.acquire());
        QSignalSpy shows(&running, &SingleInstance::showRequested);
        SingleInstance second;
        QVERIFY(!second.acquire());
        QVERIFY(SingleInstance::askRunningCopyToShow());
        QVERIFY(shows.wait(2000));
        QCOMPARE(shows.count(), 1);
    }

    void requests_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("shows");
        QTest::addColumn<bool>("droppedAtOnce");
        QTest::newRow("show") << QByteArray("show\n") << 1 << true;
        QTest::newRow("two lines, one read") << QByteArray("show\nshow\n") << 1 << true;
        QTest::newRow("upper case") << QByteArray("SHOW\n") << 0 << true;
        QTest::newRow("other word") << QByteArray("hide\n") << 0 << true;
        QTest::newRow("a megabyte without a line end") << QByteArray(1 << 20, 'x') << 0 << true;
        QTest::newRow("no line end") << QByteArray("show") << 0 << false;
        QTest::newRow("silent") << QByteArray() << 0 << false;
    }

    // Whatever a client sends, it gets at most one answer and is then let go: at once when it
    // sent a line or too much, after a wait of two seconds when it keeps quiet.
    void requests()
    {
        QFETCH(QByteArray, sent);
        QFETCH(int, shows);
        QFETCH(bool, droppedAtOnce);
        SingleInstance running;
        QVERIFY(running.acquire());
        QSignalSpy showSpy(&running, &SingleInstance::showRequested);

        QLocalSocket client;
        QSignalSpy gone(&client, &QLocalSocket::disconnected);
        client.connectToServer(runtimeFile(".socket"));
        QVERIFY(client.waitForConnected(1000));
        client.write(sent);
        if (droppedAtOnce) {
            QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 1000);
        } else {
            QTest::qWait(1000);
            QCOMPARE(gone.count(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 3000);
        }
        QTest::qWait(50);
        QCOMPARE(showSpy.count(), shows);
    }

    // Qt refuses an XDG_RUNTIME_DIR that others may enter and falls back to $TMPDIR/runtime-$USER;
    // when that one is open to others too, the lock must still not land in a shared folder.
    void privateFolderWhenRuntimeUnusable()
    {
        QTemporaryDir open;
        QTemporaryDir cache;
        QVERIFY(open.isValid() && cache.isValid());
        QVERIFY(QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                       QFile::ExeOther));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open.path()));
        const passwd* user = getpwuid(geteuid());
        QVERIFY(user);
        const QString tmpRuntime = open.path() + QStringLiteral("/runtime-") + QFile::decodeName(user->pw_name);
        QVERIFY(QDir().mkdir(tmpRuntime));
        QVERIFY(QFile::setPermissions(tmpRuntime, QFile::permissions(open.path())));
        qputenv("TMPDIR", QFile::encodeName(open.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        const QString folder = cache.path() + QStringLiteral("/korvo-tft-runtime");
        {
            SingleInstance copy;
            QVERIFY(copy.acquire());
            QVERIFY(QDir(tmpRuntime).isEmpty());
            QVERIFY(QFileInfo::exists(folder + QStringLiteral("/korvo-tft") + QString::fromLatin1(suffix) +
                                      QStringLiteral(".lock")));
            QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                        QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
                     QFile::Permissions());
            QSignalSpy shows(&copy, &SingleInstance::showRequested);
            SingleInstance second;
            QVERIFY(!second.acquire());
            QVERIFY(SingleInstance::askRunningCopyToShow());
            QVERIFY(shows.wait(2000));
        }
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        if (savedTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmp);
        qunsetenv("XDG_CACHE_HOME");
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
