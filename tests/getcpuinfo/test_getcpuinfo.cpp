#include "faketree.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QProcess>

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

using namespace korvo;

namespace {

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
};

QTEST_GUILESS_MAIN(TestGetCpuInfo)
#include "test_getcpuinfo.moc"
