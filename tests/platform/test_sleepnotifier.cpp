// SPDX-License-Identifier: GPL-3.0-or-later
#include "logcapture.h"
#include "platform/sleepnotifier.h"

#include <QtDBus>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <optional>

using korvo::platform::SleepNotifier;

// logind as the notifier sees it, in a thread of its own since start() waits for Inhibit. Each
// inhibitor is a pipe whose read end sees EOF once every copy of the handed end is closed.
class FakeLogind : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QAtomicInt refuse;

signals:
    void granted(int readEnd);

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString&, const QString&, const QString& mode)
    {
        int ends[2];
        if (refuse || what != "sleep" || mode != "delay" || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
            sendErrorReply(QDBusError::AccessDenied, "refused");
            return {};
        }
        // Answered before the grant is told, so that whatever the test sends after the grant
        // reaches the notifier after the inhibitor.
        setDelayedReply(true);
        connection().send(message().createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
        ::close(ends[1]);
        emit granted(ends[0]);
        return {};
    }
};

class TestSleepNotifier : public QObject
{
    Q_OBJECT

    QProcess daemon;
    QString address;
    FakeLogind fake;
    QThread fakeThread;
    QDBusConnection fakeBus{QString()};
    QVector<int> inhibitors;

    static bool released(int readEnd) { return ::read(readEnd, &readEnd, 1) == 0; }
    static bool announce(QDBusConnection bus, bool sleeping)
    {
        const char* manager = "org.freedesktop.login1.Manager";
        return bus.send(QDBusMessage::createSignal("/org/freedesktop/login1", manager, "PrepareForSleep") << sleeping);
    }

private slots:
    void initTestCase()
    {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (!daemon.waitForReadyRead(5000))
            QSKIP("dbus-daemon cannot start here");
        address = daemon.readLine().trimmed();
        fakeBus = QDBusConnection::connectToBus(address, "fake-logind");
        QVERIFY(fakeBus.registerObject("/org/freedesktop/login1", &fake, QDBusConnection::ExportAllSlots));
        connect(&fake, &FakeLogind::granted, this, [this](int readEnd) { inhibitors << readEnd; });
        fake.moveToThread(&fakeThread);
        fakeThread.start();
    }
    void init()
    {
        qputenv("KORVO_SYSTEM_BUS_ADDRESS", address.toUtf8());
        QVERIFY(fakeBus.registerService("org.freedesktop.login1"));
        fake.refuse = false;
        inhibitors.clear();
    }
    void cleanupTestCase()
    {
        fakeThread.quit();
        fakeThread.wait();
        daemon.kill();
        daemon.waitForFinished();
    }

    void start_data()
    {
        QTest::addColumn<QString>("logind");
        QTest::addColumn<bool>("started");
        QTest::addColumn<int>("inhibitorsTaken");
        QTest::newRow("bus without logind") << "absent" << false << 0;
        QTest::newRow("logind refuses to wait") << "refuses" << true << 0;
        QTest::newRow("logind waits") << "waits" << true << 1;
    }
    void start()
    {
        QFETCH(QString, logind);
        QFETCH(int, inhibitorsTaken);
        QVERIFY(logind != "absent" || fakeBus.unregisterService("org.freedesktop.login1"));
        fake.refuse = logind == "refuses";
        LogCapture log;
        std::optional<SleepNotifier> notifier(std::in_place);
        QTEST(notifier->start(), "started");
        // The grant is told only after the answer start() waited for.
        QTRY_COMPARE(int(inhibitors.size()), inhibitorsTaken);
        // One line tells what went wrong; nothing is said when all went well.
        QCOMPARE(log.lines.size(), 1 - inhibitors.size());
        if (inhibitors.isEmpty())
            return;
        QSignalSpy sleeps(&*notifier, &SleepNotifier::aboutToSleep);
        QSignalSpy resumes(&*notifier, &SleepNotifier::resumed);
        // Only logind may announce a sleep or a resume.
        QVERIFY(announce(QDBusConnection::connectToBus(address, "stranger"), false) && announce(fakeBus, true));
        QVERIFY(sleeps.wait(2000));
        QVERIFY(!released(inhibitors.value(0, -1)));
        notifier->readyToSleep();
        QVERIFY(released(inhibitors[0]));
        QVERIFY(announce(fakeBus, false));
        QTRY_COMPARE(inhibitors.size(), 2);
        // The next sleep arrives after the new inhibitor, which the notifier holds by then.
        QVERIFY(announce(fakeBus, true) && sleeps.wait(2000));
        QCOMPARE(sleeps.count() + resumes.count(), 3);
        QVERIFY(!released(inhibitors[1]));
        notifier.reset();
        QVERIFY(released(inhibitors[1]));
    }
};

QTEST_GUILESS_MAIN(TestSleepNotifier)
#include "test_sleepnotifier.moc"
