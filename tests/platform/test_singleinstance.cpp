#include "platform/singleinstance.h"

#include <QLocalSocket>
#include <QtTest>

#include <optional>

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

    void leftoverLock_data()
    {
        QTest::addColumn<QByteArray>("pid");
        QTest::addColumn<bool>("acquired");
        // No system hands out pids this large.
        QTest::newRow("crashed copy") << QByteArray("999999999") << true;
        QTest::newRow("running copy") << QByteArray::number(QCoreApplication::applicationPid()) << false;
    }

    // An hour old, so that only the recorded pid can tell whether the lock is stale.
    void leftoverLock()
    {
        QFETCH(QByteArray, pid);
        QFETCH(bool, acquired);
        QFile bootId("/proc/sys/kernel/random/boot_id");
        QVERIFY(bootId.open(QIODevice::ReadOnly));
        QFile lock(runtime.path() + fileName(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(pid + '\n' + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
                   QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
                   bootId.readAll().trimmed() + '\n');
        QVERIFY(lock.flush());
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lock.close();
        // A crashed copy leaves its socket file too.
        QFile(runtime.path() + fileName(".socket")).open(QIODevice::WriteOnly);
        SingleInstance copy;
        QSignalSpy shows(&copy, &SingleInstance::showRequested);
        QCOMPARE(copy.acquire(), acquired);
        QCOMPARE(!SingleInstance::askRunningCopy("show").isNull() && shows.wait(2000), acquired);
    }

    void requests_data()
    {
        QTest::addColumn<bool>("headless");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("shows");
        QTest::addColumn<int>("applies");
        QTest::addColumn<int>("droppedWithinMs");
        QTest::newRow("two lines, one read")
            << false << QByteArray("show\nshow\n") << QByteArray("shown\n") << 1 << 0 << 1000;
        QTest::newRow("show, no window") << true << QByteArray("show\n") << QByteArray("headless\n") << 0 << 0 << 1000;
        QTest::newRow("apply") << true << QByteArray("apply\n") << QByteArray("applying\n") << 0 << 1 << 1000;
        QTest::newRow("other word") << false << QByteArray("hide\n") << QByteArray() << 0 << 0 << 1000;
        QTest::newRow("a megabyte without a line end")
            << false << QByteArray(1 << 20, 'x') << QByteArray() << 0 << 0 << 1000;
        QTest::newRow("silent") << false << QByteArray() << QByteArray() << 0 << 0 << 3000;
    }

    // While a copy runs a second cannot start; a client gets at most one answer and is then let
    // go, a silent one after two seconds. Once the copy is gone the next one starts.
    void requests()
    {
        QFETCH(bool, headless);
        QFETCH(QByteArray, sent);
        QFETCH(int, droppedWithinMs);
        std::optional<SingleInstance> running(std::in_place);
        running->setHeadless(headless);
        QVERIFY(running->acquire());
        QVERIFY(!SingleInstance().acquire());
        QSignalSpy showSpy(&*running, &SingleInstance::showRequested);
        QSignalSpy applySpy(&*running, &SingleInstance::applyRequested);
        QLocalSocket client;
        QSignalSpy gone(&client, &QLocalSocket::disconnected);
        client.connectToServer(runtime.path() + fileName(".socket"));
        QVERIFY(client.waitForConnected(1000));
        client.write(sent);
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, droppedWithinMs);
        QTest::qWait(50);
        QTEST(client.readAll(), "answer");
        QTEST(int(showSpy.count()), "shows");
        QTEST(int(applySpy.count()), "applies");
        running.reset();
        QVERIFY(SingleInstance::askRunningCopy("show").isNull());
        QVERIFY(SingleInstance().acquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
