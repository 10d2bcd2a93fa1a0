// SPDX-License-Identifier: GPL-3.0-or-later
#include "faketree.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QLocalSocket>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace korvo;

namespace {

constexpr int U = metrics::UnavailableFigure;

// CPU temperature, load and power, fan speed, GPU temperature and load.
QList<int> readWords()
{
    const metrics::CpuInfoBlock b = metrics::readCpuInfo();
    return {b.cpuTemperature, b.cpuLoad, b.cpuPower, b.fanSpeed, b.gpuTemperature, b.gpuLoad};
}

} // namespace

// The built GetCPUInfo on a fake sysfs and procfs, seen through the shared-memory reader.
class TestGetCpuInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QTemporaryDir runtime_; // private to the user, as the runtime folder must be
    QProcess sibling_;
    const QString siblingPath_ = qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/bin/GetCPUInfo";

private slots:
    void initTestCase()
    {
        sibling_.setProgram(siblingPath_);
        sibling_.setProcessChannelMode(QProcess::ForwardedChannels);
        const QByteArray tag = QByteArray::number(QCoreApplication::applicationPid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        qputenv("KORVO_CPUINFO_KEY", "KorvoTestGetCpuInfo-" + tag);
        qputenv("KORVO_INSTANCE_SUFFIX", "-test-" + tag);
        qputenv("KORVO_SYSFS_ROOT", (tree_.path() + "/sys").toUtf8());
        qputenv("KORVO_PROC_ROOT", (tree_.path() + "/proc").toUtf8());
        QVERIFY(writeTree(tree_.path(),
                          {"sys/class/hwmon/hwmon0/name=coretemp", "sys/class/hwmon/hwmon0/temp1_label=Package id 0",
                           "sys/class/hwmon/hwmon0/temp1_input=57000", "sys/class/hwmon/hwmon1/name=amdgpu",
                           "sys/class/hwmon/hwmon1/temp1_input=45000",
                           "sys/class/hwmon/hwmon1/device/gpu_busy_percent=9", "sys/class/hwmon/hwmon2/name=nct6775",
                           "sys/class/hwmon/hwmon2/fan1_input=700", "proc/stat=cpu  100 0 50 850"}));
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
        QVERIFY(metrics::attachCpuInfoMemory());
        QCOMPARE(readWords(), (QList<int>{57, U, U, 700, 45, 9})); // one /proc/stat reading is no rate yet
        QVERIFY(writeTree(tree_.path(), {"sys/class/hwmon/hwmon0/temp1_input=61000", "proc/stat=cpu  160 0 70 970"}));
        QTRY_COMPARE_WITH_TIMEOUT(readWords(), (QList<int>{61, 40, U, 700, 45, 9}), 5000);
        // Every publish moves the heartbeat on, so the program can tell it still runs.
        const uint32_t beat = metrics::readCpuInfoHeartbeat();
        QTRY_VERIFY_WITH_TIMEOUT(metrics::readCpuInfoHeartbeat() != beat, 5000);
    }

    // Ended from outside or asked to (after clients with an endless line or unread answers were
    // dropped, or those beyond its descriptors turned away), it leaves nothing in the next copy's way.
    void ends_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("clients");
        QTest::newRow("SIGTERM") << SIGTERM << QByteArray() << 0;
        QTest::newRow("line without end") << 0 << QByteArray(1 << 20, 'x') << 1;
        QTest::newRow("answers never read") << 0 << QByteArray("ping\n").repeated(1 << 18) << 1;
        QTest::newRow("more clients than descriptors") << 0 << QByteArray() << 12;
    }
    void ends()
    {
        QFETCH(int, signal);
        QFETCH(QByteArray, request);
        QFETCH(int, clients);
        metrics::detachCpuInfoMemory();
        // A killed copy leaves its socket file and lock behind; the next one starts anyway.
        sibling_.kill();
        sibling_.waitForFinished(5000);
        // 16 descriptors: its own (event loop, lock, socket) and a few to spare.
        sibling_.start("prlimit", {"--nofile=16", siblingPath_});
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        std::vector<QLocalSocket> sockets(static_cast<size_t>(clients));
        for (QLocalSocket& socket : sockets) {
            socket.setReadBufferSize(1);
            socket.connectToServer(platform::siblingServerName());
            QVERIFY(socket.waitForConnected(1000));
            socket.write(request);
        }
        const auto dropped = [](const QLocalSocket& socket) {
            return socket.state() == QLocalSocket::UnconnectedState;
        };
        // Well before the five seconds after which any client is dropped.
        QTRY_VERIFY_WITH_TIMEOUT(sockets.empty() || std::any_of(sockets.begin(), sockets.end(), dropped), 3000);
        sockets.clear();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        QProcess second; // one copy per user: a second one leaves at once
        second.start(siblingPath_, QStringList());
        QVERIFY(second.waitForFinished(5000) && second.exitCode() == 0);
        if (signal)
            QCOMPARE(::kill(pid_t(sibling_.processId()), signal), 0);
        else
            platform::closeSibling();
        QVERIFY(sibling_.waitForFinished(5000));
        QCOMPARE(sibling_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sibling_.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(platform::siblingServerName()));
        QVERIFY(!metrics::attachCpuInfoMemory()); // the segment is gone
    }

    // A flood of short connections leaves GetCPUInfo's memory where it was.
    void floodLeavesMemoryFlat()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer keeps freed memory in quarantine");
#endif
        if (!platform::siblingRunning()) {
            sibling_.start(siblingPath_, QStringList());
            QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        }
        const auto residentKiB = [this] {
            QFile status(QString("/proc/%1/status").arg(sibling_.processId()));
            status.open(QIODevice::ReadOnly);
            const QByteArray text = status.readAll();
            return text.mid(text.indexOf("VmRSS:") + 6).trimmed().split(' ').value(0).toLong();
        };
        const long before = residentKiB();
        // Each asks once and goes, as fast as it is answered.
        for (int n = 0; n < 20000; ++n)
            QVERIFY(platform::siblingRunning());
        QVERIFY2(residentKiB() - before < 4096, qPrintable(QString("%1 KiB -> %2 KiB").arg(before).arg(residentKiB())));
    }

    // Two ordinary users each get a copy that publishes (root could open any segment).
    void twoUsersEachHaveTheirOwn()
    {
        if (geteuid() != 0)
            QSKIP("starting copies as two other users needs root");
        QTemporaryDir users;
        QVERIFY(::chmod(QFile::encodeName(users.path()), 0711) == 0 &&
                ::chmod(QFile::encodeName(tree_.path()), 0755) == 0);
        QProcess copies[2];
        for (int i = 0; i < 2; ++i) {
            const QByteArray uid = QByteArray::number(65534 - i), runtime = QFile::encodeName(users.path()) + '/' + uid;
            QVERIFY(::mkdir(runtime, 0700) == 0 && ::chown(runtime, uid.toUInt(), uid.toUInt()) == 0);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_RUNTIME_DIR", runtime);
            copies[i].setProcessEnvironment(environment);
            copies[i].setProcessChannelMode(QProcess::ForwardedChannels);
            copies[i].start("setpriv", {"--reuid=" + uid, "--regid=" + uid, "--clear-groups", siblingPath_});
            // A copy listens only once it holds its segment.
            const QString socket = runtime + "/GetCPUInfo" + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX");
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) || copies[i].state() == QProcess::NotRunning, 5000);
            QVERIFY2(copies[i].state() == QProcess::Running, "a second user's copy could not publish");
        }
        for (QProcess& copy : copies) {
            QCOMPARE(::kill(pid_t(copy.processId()), SIGTERM), 0);
            QVERIFY(copy.waitForFinished(5000));
            QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy.exitCode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestGetCpuInfo)
#include "test_getcpuinfo.moc"
