// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/runtimefolder.h"
#include "platform/singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using korvo::platform::SingleInstance;

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;
    int run = 0;

    QString fileName(const char* ending) const
    {
        return "/korvo-tft" + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX") + ending;
    }

private slots:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())); }
    void init() { qputenv("KORVO_INSTANCE_SUFFIX", "-test" + QByteArray::number(++run)); }
    void cleanup() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())); }

    // What a crash, a full disk or a mistake may leave where the lock goes. None of it may keep
    // the program from starting, or hang its start; only a copy that answers keeps its place.
    void leftoverLock_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("answering"); // a copy listens on the socket
        QTest::addColumn<bool>("acquired");
        QTest::newRow("crashed copy's pid") << "999999999\n" << false << true;
        QTest::newRow("a folder") << "folder" << false << true;
        QTest::newRow("a FIFO") << "fifo" << false << true;
        QTest::newRow("a link to /dev/zero") << "zero" << false << true;
        QTest::newRow("a link to /dev/zero, a copy answers") << "zero" << true << false;
    }

    void leftoverLock()
    {
        QFETCH(QString, left);
        QFETCH(bool, answering);
        const QString lockPath = runtime.path() + fileName(".lock"), socketPath = runtime.path() + fileName(".socket");
        QFile lock(lockPath);
        if (left == "folder")
            QVERIFY(QDir().mkpath(lockPath + "/inside"));
        else if (left == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(lockPath).constData(), 0600), 0);
        else if (left == "zero")
            QVERIFY(QFile::link("/dev/zero", lockPath));
        else
            QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write(left.toLatin1()) == left.size());
        QLocalServer server;
        if (answering)
            QVERIFY(server.listen(socketPath));
        else // a crashed copy leaves its socket file too
            QFile(socketPath).open(QIODevice::WriteOnly);
        SingleInstance copy;
        QSignalSpy shows(&copy, &SingleInstance::showRequested);
        QTEST(copy.acquire(), "acquired");
        if (answering)
            return;
        // The new copy listens where the next start asks.
        QLocalSocket next;
        next.connectToServer(socketPath);
        QVERIFY(next.waitForConnected(1000) && next.write("show\n") == 5 && shows.wait(2000));
    }

    // Where the lock, the sockets and the figures go when $XDG_RUNTIME_DIR cannot hold them: a
    // private folder of the user's cache, never a shared one such as /tmp.
    void runtimeFolder_data()
    {
        QTest::addColumn<QString>("runtimeDir"); // relative to a fresh folder; "-" unset
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("usable") << "run" << 0700 << "run";
        QTest::newRow("unset") << "-" << 0 << "cache/korvo-tft-runtime";
        QTest::newRow("missing") << "gone" << 0 << "cache/korvo-tft-runtime";
        QTest::newRow("open to others") << "run" << 0755 << "cache/korvo-tft-runtime";
        QTest::newRow("a link to a private folder") << "link" << 0700 << "cache/korvo-tft-runtime";
        QTest::newRow("another user's") << "theirs" << 0700 << "cache/korvo-tft-runtime";
        QTest::newRow("the cache folder itself, open to others")
            << "cache/korvo-tft-runtime" << 0777 << "cache/korvo-tft-runtime";
    }
    void runtimeFolder()
    {
        QFETCH(QString, runtimeDir);
        QFETCH(int, mode);
        QTemporaryDir home;
        const QString folder = home.filePath(runtimeDir == "link" || runtimeDir == "theirs" ? "run" : runtimeDir);
        if (mode) {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode_t(mode)), 0);
        }
        if (runtimeDir == "link")
            QVERIFY(QFile::link(folder, home.filePath("link")));
        if (runtimeDir == "theirs") {
            if (geteuid() != 0)
                QSKIP("only root can give a folder to another user; the rows above hold for every user");
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        }
        if (runtimeDir == "-")
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath(runtimeDir)));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath("cache")));
        QFETCH(QString, expected);
        QCOMPARE(korvo::platform::privateRuntimeFolder(), home.filePath(expected));
        QCOMPARE(QFile::permissions(home.filePath(expected)), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                                  QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    }

    // The answers to a window copy ("headless") and to korvo-tftctl ("applying") are judged where
    // those programs meet a running copy; here what no program of ours sends.
    void requests_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("shows");
        QTest::addColumn<int>("droppedWithinMs");
        QTest::newRow("two lines, one read") << QByteArray("show\nshow\n") << QByteArray("shown\n") << 1 << 1000;
        QTest::newRow("other word") << QByteArray("hide\n") << QByteArray() << 0 << 1000;
        QTest::newRow("a megabyte without a line end") << QByteArray(1 << 20, 'x') << QByteArray() << 0 << 1000;
        QTest::newRow("silent") << QByteArray() << QByteArray() << 0 << 3000;
    }

    // While a copy runs a second cannot start; a client gets at most one answer and is then let
    // go, a silent one after two seconds. Once the copy is gone the next one starts.
    void requests()
    {
        QFETCH(QByteArray, sent);
        QFETCH(int, droppedWithinMs);
        std::optional<SingleInstance> running(std::in_place);
        QVERIFY(running->acquire());
        QVERIFY(!SingleInstance().acquire());
        QSignalSpy showSpy(&*running, &SingleInstance::showRequested);
        QLocalSocket client;
        QSignalSpy gone(&client, &QLocalSocket::disconnected);
        client.connectToServer(runtime.path() + fileName(".socket"));
        QVERIFY(client.waitForConnected(1000));
        client.write(sent);
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, droppedWithinMs);
        QTest::qWait(50);
        QTEST(client.readAll(), "answer");
        QTEST(int(showSpy.count()), "shows");
        running.reset();
        QVERIFY(SingleInstance::askRunningCopy("show").isNull());
        QVERIFY(SingleInstance().acquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
