// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"
#include "platform/devicepaths.h"
#include "platform/meminfo.h"
#include "platform/runtimefolder.h"
#include "platform/singleinstance.h"
#include "platform/systemevents.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

#include <atomic>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace korvo::platform;

Q_DECLARE_METATYPE(SystemEvent)

// Holds its thread until let go. Its flags are std atomics, which ThreadSanitizer sees, unlike Qt's
// own locks.
class Blocker : public QObject
{
    Q_OBJECT

public:
    std::atomic<bool> open{false}, synced{false};

public slots:
    void hold()
    {
        while (!open)
            std::this_thread::yield();
    }
    void sync() { synced = true; }
};

// Each test with a private runtime folder and an instance name of its own.
class TestPlatform : public QObject
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

    void ids_data()
    {
        QTest::addColumn<QString>("path"); // a hidraw devpath, or a Windows interface path
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("interfaceNumber");
        const QString usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-1/";
        QTest::newRow("screen, 01") << usb + "1-1:1.1/0003:04D9:FD01.0005/hidraw/hidraw3" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("other vendor, hub")
            << "/devices/pci0000:00/usb3/3-2/3-2.4:1.10/0003:046d:c52b.000A/hidraw/hidraw17" << 0x046D << 0xC52B << 10;
        QTest::newRow("virtual, screen's ids")
            << "/devices/virtual/misc/uhid/0003:04D9:FD01.0008/hidraw/hidraw6" << 0 << 0 << -1;
        QTest::newRow("garbage") << QString::fromLatin1("\xff\xfe//hidraw/hidraw\x01") << 0 << 0 << -1;
        QTest::newRow("windows, screen, 01")
            << R"(\\?\HID#VID_04D9&PID_FD01&MI_01#7&1a2b3c4d&0&0000)" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("windows, lower case")
            << R"(\\?\hid#vid_04d9&pid_fd01&mi_01#7&1a2b&0&0000)" << 0x04D9 << 0xFD01 << 1;
        QTest::newRow("windows, screen, 00") << R"(\\?\HID#VID_04D9&PID_FD01&MI_00#7&5e6f7a8b&0&0000)" << 0 << 0 << -1;
        QTest::newRow("windows, ids not hex") << R"(\\?\HID#VID_ZZZZ&PID_FD01&MI_01#7&1)" << 0 << 0 << -1;
    }

    void ids()
    {
        QFETCH(QString, path);
        const bool windows = path.startsWith(R"(\\?\)");
        // A removal must name the path the HID enumeration reported on arrival.
        const DeviceEvent event =
            windows ? describeWindowsInterfacePath(path.mid(4), false) : describeHidrawDevpath(path.toLatin1());
        QTEST(int(event.vendorId), "vendorId");
        QTEST(int(event.productId), "productId");
        QTEST(event.interfaceNumber, "interfaceNumber");
        if (windows)
            QCOMPARE(event.path, path);
    }

    void broadcastRecord_data()
    {
        QTest::addColumn<quint32>("size"); // dbcc_size
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QString>("units"); // dbcc_name as laid out, past dbcc_size as well
        QTest::addColumn<QString>("name");  // "-": no interface record
        const QString screen = R"(\\?\HID#VID_04D9&PID_FD01&MI_01#7&1a)";
        QTest::newRow("whole record") << 110u << 5u << screen + QChar(0) + "junk"
                                      << "HID#VID_04D9&PID_FD01&MI_01#7&1a";
        QTest::newRow("odd size, cut inside a unit") << 47u << 5u << screen << "HID#V";
        QTest::newRow("cut inside the class") << 20u << 5u << screen << "";
        QTest::newRow("volume record") << 18u << 2u << screen << "-";
        QTest::newRow("shorter than a header") << 8u << 5u << screen << "-";
    }

    // Bytes past dbcc_size are the rest of the name, so a read beyond the record shows in it.
    void broadcastRecord()
    {
        QFETCH(quint32, size);
        QFETCH(quint32, type);
        QFETCH(QString, units);
        QByteArray record;
        record.append(reinterpret_cast<const char*>(&size), 4).append(reinterpret_cast<const char*>(&type), 4);
        record.append(4, '\0').append(16, '\x5a'); // reserved, class
        record.append(reinterpret_cast<const char*>(units.utf16()), units.size() * 2);
        // One byte in: the parser must not rely on the record's alignment.
        const QByteArray shifted = ' ' + record;
        QTEST(interfaceNameFromBroadcast(shifted.constData() + 1).value_or(QStringLiteral("-")), "name");
    }

    void memoryLoad_data()
    {
        QTest::addColumn<QByteArray>("meminfo");
        QTest::addColumn<int>("percent");
        QTest::newRow("truncated, not rounded")
            << QByteArray("MemTotal:       3 kB\nMemFree: 1 kB\nMemAvailable: 1 kB\n") << 66;
        QTest::newRow("no MemAvailable") << QByteArray("MemTotal: 16000000 kB\nMemFree: 1000 kB\n") << -1;
        QTest::newRow("zero total") << QByteArray("MemTotal: 0 kB\nMemAvailable: 0 kB\n") << -1;
        QTest::newRow("more available than total") << QByteArray("MemTotal: 10 kB\nMemAvailable: 20 kB\n") << -1;
        QTest::newRow("no line end") << QByteArray("MemTotal: 8 kB\nMemAvailable: 2") << 75;
        QTest::newRow("figure beyond any memory")
            << QByteArray("MemTotal: 99999999999999999999999 kB\nMemAvailable: 1 kB\n") << -1;
    }

    void memoryLoad()
    {
        QFETCH(QByteArray, meminfo);
        QTEST(memoryLoadFromMeminfo(meminfo), "percent");
    }

    // The time zone changes under a running process, as for a user who travels; the clock must
    // follow within a second.
    void localTime()
    {
        const bool wasSet = qEnvironmentVariableIsSet("TZ");
        const QByteArray saved = qgetenv("TZ");
        qputenv("TZ", "IST-5:30");
        const auto restore = qScopeGuard([&] { wasSet ? qputenv("TZ", saved) : qunsetenv("TZ"); });
        const qint64 changedAt = QDateTime::currentSecsSinceEpoch();
        QVERIFY(QTest::qWaitFor([&] { return QDateTime::currentSecsSinceEpoch() != changedAt; }, 2000));
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(330 * 60);
        const LocalTime now = localNow();
        const QDateTime read(now.date, now.time, Qt::UTC);
        QVERIFY2(before <= read && read <= QDateTime::currentDateTimeUtc().addSecs(330 * 60),
                 qPrintable(read.toString(Qt::ISODateWithMs)));
    }

    // Windows' own numbers, written out: 0x218 WM_POWERBROADCAST, 0x16 WM_ENDSESSION,
    // 0x11 WM_QUERYENDSESSION, 0x10 WM_CLOSE; 4 suspend, 7 resume by the user, 0x12 resume.
    void reading_data()
    {
        QTest::addColumn<unsigned>("message");
        QTest::addColumn<quintptr>("wParam");
        QTest::addColumn<SystemEvent>("event");
        QTest::newRow("suspend") << 0x218u << quintptr(4) << SystemEvent::Sleep;
        QTest::newRow("resume") << 0x218u << quintptr(0x12) << SystemEvent::Resume;
        QTest::newRow("resume by the user, after the resume") << 0x218u << quintptr(7) << SystemEvent::None;
        QTest::newRow("session ends") << 0x16u << quintptr(1) << SystemEvent::SessionEnds;
        QTest::newRow("log-off refused by another program") << 0x16u << quintptr(0) << SystemEvent::None;
        QTest::newRow("question before the end") << 0x11u << quintptr(0) << SystemEvent::None;
        QTest::newRow("another message with suspend's parameter") << 0x10u << quintptr(4) << SystemEvent::None;
    }

    void reading()
    {
        QFETCH(unsigned, message);
        QFETCH(quintptr, wParam);
        QTEST(systemEvent(message, wParam), "event");
    }

    void handOff_data()
    {
        QTest::addColumn<bool>("ownThread");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("inTime");
        QTest::newRow("caller's own thread") << true << false << true;
        QTest::newRow("idle thread") << false << false << true;
        QTest::newRow("busy thread: late, then in order") << false << true << false;
    }

    // The busy thread is held by a gate, not by time, so only the bound itself is timed.
    void handOff()
    {
        QFETCH(bool, ownThread);
        QFETCH(bool, busy);
        QThread thread;
        QObject context;
        Blocker blocker;
        std::atomic<int> ran{0};
        // Also when a failed comparison returns early: no thread left running.
        const auto stop = qScopeGuard([&] {
            blocker.open = true;
            thread.quit();
            thread.wait();
        });
        if (!ownThread) {
            context.moveToThread(&thread);
            blocker.moveToThread(&thread);
            thread.start();
        }
        if (busy)
            QMetaObject::invokeMethod(&blocker, "hold");
        const bool answered = runWithin(
            &context, [&ran] { ++ran; }, busy ? 50 : 10000);
        QTEST(answered, "inTime");
        QCOMPARE(ran.load(), answered ? 1 : 0); // in time means done
        blocker.open = true;
        if (!ownThread) {
            QMetaObject::invokeMethod(&blocker, "sync");
            while (!blocker.synced)
                std::this_thread::yield();
        }
        QCOMPARE(ran.load(), 1);
    }

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

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
