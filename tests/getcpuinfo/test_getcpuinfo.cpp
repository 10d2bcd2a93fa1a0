#include "faketree.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QLocalSocket>
#include <QProcess>

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvo;

// GetCPUInfo's own descriptors (Qt's event loop, the lock, the segment, the server) plus a few:
// a handful of clients then exhaust them.
constexpr int OpenDescriptorLimit = 16;

namespace {

// A directory the given user owns, private to them, as a runtime folder must be.
bool makeRuntimeFolder(const QString& path, uint uid)
{
    return QDir().mkpath(path) && ::chown(QFile::encodeName(path).constData(), uid, uid) == 0 &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<int> readWords()
{
    int words[4] = {-100, -100, -100, -100};
    metrics::readCpuInfo(words[0], words[1], words[2], words[3]);
    return {words[0], words[1], words[2], words[3]};
}

} // namespace

// The built GetCPUInfo on a fake sysfs and procfs, with a key, socket and lock of its own, as
// the program sees it: through the shared-memory reader and the sibling calls.
class TestGetCpuInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QTemporaryDir runtime_; // private to the user, as the runtime folder must be
    QProcess sibling_;

private slots:
    void initTestCase()
    {
        sibling_.setProgram(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/bin/GetCPUInfo");
        sibling_.setProcessChannelMode(QProcess::ForwardedChannels);
        const QByteArray tag = QByteArray::number(QCoreApplication::applicationPid());
        // The child inherits these, so both sides agree on the names.
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        qputenv("KORVO_CPUINFO_KEY", "KorvoTestGetCpuInfo-" + tag);
        qputenv("KORVO_INSTANCE_SUFFIX", "-test-" + tag);
        qputenv("KORVO_SYSFS_ROOT", (tree_.path() + "/sys").toUtf8());
        qputenv("KORVO_PROC_ROOT", (tree_.path() + "/proc").toUtf8());
        QVERIFY(writeTree(tree_.path(),
                          {"sys/class/hwmon/hwmon0/name=coretemp", "sys/class/hwmon/hwmon0/temp1_label=Package id 0",
                           "sys/class/hwmon/hwmon0/temp1_input=57000", "proc/stat=cpu  100 0 50 850"}));
    }
    void cleanupTestCase()
    {
        metrics::detachCpuInfoMemory();
        sibling_.kill();
        sibling_.waitForFinished(5000);
    }

    // It makes the segment and publishes its first reading before it answers.
    void answersAndPublishes()
    {
        QVERIFY(!platform::siblingRunning());
        sibling_.start();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        QVERIFY(!metrics::createCpuInfoMemory(metrics::CpuInfoMemorySize));
        QVERIFY(metrics::attachCpuInfoMemory());
        QCOMPARE(readWords(), (QList<int>{57, 0, 0, 0})); // one /proc/stat reading is no rate yet
        QVERIFY(writeTree(tree_.path(), {"sys/class/hwmon/hwmon0/temp1_input=61000", "proc/stat=cpu  160 0 70 970"}));
        QTRY_COMPARE_WITH_TIMEOUT(readWords(), (QList<int>{61, 40, 0, 0}), 5000);

        // One copy per user: a second one leaves at once.
        QProcess second;
        second.start(sibling_.program(), QStringList());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(platform::siblingRunning());
    }

    // A copy that was killed leaves its socket file and lock behind; the next one starts anyway,
    // and ends when asked.
    void restartsAfterAKillAndCloses()
    {
        sibling_.kill();
        QVERIFY(sibling_.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(platform::siblingServerName()));
        sibling_.start();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        platform::closeSibling();
        QVERIFY(sibling_.waitForFinished(5000));
        QCOMPARE(sibling_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sibling_.exitCode(), 0);
        QVERIFY(!platform::siblingRunning());
    }

    // Ended from outside, it leaves nothing that would stand in the next copy's way.
    void endsOnTerminationSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void endsOnTerminationSignals()
    {
        QFETCH(int, signal);
        metrics::detachCpuInfoMemory();
        sibling_.start();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        QCOMPARE(::kill(pid_t(sibling_.processId()), signal), 0);
        QVERIFY(sibling_.waitForFinished(5000));
        QCOMPARE(sibling_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sibling_.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(platform::siblingServerName()));
        QVERIFY(!metrics::attachCpuInfoMemory()); // the segment is gone
    }

    // Two ordinary users on one machine each get a copy that publishes; neither stands in the
    // other's way (root could open any segment, so both run as other users).
    void twoUsersEachHaveTheirOwn()
    {
        if (geteuid() != 0)
            QSKIP("starting copies as two other users needs root");
        QVERIFY(QFile::setPermissions(tree_.path(),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QTemporaryDir users; // passable, so that each user reaches their own folder inside
        QVERIFY(QFile::setPermissions(users.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther));
        QProcess copies[2];
        QString sockets[2];
        for (int i = 0; i < 2; ++i) {
            const uint uid = 65534 - i;
            const QString runtime = users.path() + "/" + QString::number(uid);
            QVERIFY(makeRuntimeFolder(runtime, uid));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_RUNTIME_DIR", runtime);
            environment.insert("HOME", runtime);
            copies[i].setProcessEnvironment(environment);
            copies[i].setProcessChannelMode(QProcess::ForwardedChannels);
            copies[i].start("setpriv", {"--reuid=" + QString::number(uid), "--regid=" + QString::number(uid),
                                        "--clear-groups", sibling_.program()});
            sockets[i] = runtime + "/GetCPUInfo" + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX");
            // The copy listens only once it holds its segment.
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(sockets[i]).exists() || copies[i].state() == QProcess::NotRunning, 5000);
        }
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(copies[i].state() == QProcess::Running, qPrintable("the copy of user " + QString::number(i)));
            QCOMPARE(::kill(pid_t(copies[i].processId()), SIGTERM), 0);
            QVERIFY(copies[i].waitForFinished(5000));
            QCOMPARE(copies[i].exitCode(), 0);
        }
    }

    // A local client that sends an endless line or never reads its answers is dropped, and the
    // program still gets through.
    void hostileClientsAreDropped_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("line without end") << QByteArray(1 << 20, 'x');
        QTest::newRow("answers never read") << QByteArray("ping\n").repeated(1 << 18);
    }
    void hostileClientsAreDropped()
    {
        QFETCH(QByteArray, request);
        if (sibling_.state() != QProcess::Running) {
            sibling_.start();
            QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        }
        QLocalSocket client;
        client.setReadBufferSize(1);
        client.connectToServer(platform::siblingServerName());
        QVERIFY(client.waitForConnected(2000));
        client.write(request);
        // Well before the five seconds after which every client is dropped.
        QVERIFY(client.state() == QLocalSocket::UnconnectedState || client.waitForDisconnected(3000));
        QVERIFY(platform::siblingRunning());
    }

    // Clients beyond its descriptors are turned away, and it answers again as soon as they go:
    // it neither closes its socket nor ends.
    void outlastsRunningOutOfDescriptors()
    {
        sibling_.kill();
        sibling_.waitForFinished(5000);
        QProcess limited;
        limited.setProcessChannelMode(QProcess::ForwardedChannels);
        limited.start("prlimit", {"--nofile=" + QByteArray::number(OpenDescriptorLimit), sibling_.program()});
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        std::vector<std::unique_ptr<QLocalSocket>> clients;
        for (int i = 0; i < 12; ++i) {
            clients.push_back(std::make_unique<QLocalSocket>());
            clients.back()->connectToServer(platform::siblingServerName());
            QVERIFY(clients.back()->waitForConnected(1000));
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(clients.begin(), clients.end(),
                        [](const auto& client) { return client->state() == QLocalSocket::UnconnectedState; }),
            5000);
        clients.clear();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        platform::closeSibling();
        QVERIFY(limited.waitForFinished(5000));
        QCOMPARE(limited.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestGetCpuInfo)
#include "test_getcpuinfo.moc"
