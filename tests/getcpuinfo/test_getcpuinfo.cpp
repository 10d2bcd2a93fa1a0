#include "faketree.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace korvo;

namespace {

struct Words
{
    int temperature = -100;
    int load = -100;
    int power = -100;
    int reserved = -100;
};

Words read()
{
    Words words;
    metrics::readCpuInfo(words.temperature, words.load, words.power, words.reserved);
    return words;
}

} // namespace

// The built GetCPUInfo on a fake sysfs and procfs, with a key, socket and lock of its own, as
// the program sees it: through the shared-memory reader and the sibling calls.
class TestGetCpuInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QTemporaryDir runtime_; // made private to the user, as the runtime folder must be
    std::unique_ptr<QProcess> sibling_;

    QString program() const { return qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/bin/GetCPUInfo"; }

private slots:
    void initTestCase()
    {
        QVERIFY(tree_.isValid());
        QVERIFY(runtime_.isValid());
        QVERIFY(QFileInfo::exists(program()));
        const QByteArray tag = QByteArray::number(QCoreApplication::applicationPid());
        // The child inherits these, so both sides agree on the names.
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        qputenv("KORVO_CPUINFO_KEY", "KorvoTestGetCpuInfo-" + tag);
        qputenv("KORVO_INSTANCE_SUFFIX", "-test-" + tag);
        qputenv("KORVO_SYSFS_ROOT", (tree_.path() + "/sys").toUtf8());
        qputenv("KORVO_PROC_ROOT", (tree_.path() + "/proc").toUtf8());
        QVERIFY(writeTree(tree_.path(),
                          {"sys/class/hwmon/hwmon0/name=coretemp", "sys/class/hwmon/hwmon0/temp1_label=Package id 0",
                           "sys/class/hwmon/hwmon0/temp1_input=57000", "proc/stat=cpu  100 0 50 800 50 0 0 0 0 0"}));
    }

    void cleanupTestCase()
    {
        metrics::detachCpuInfoMemory();
        if (sibling_ && sibling_->state() != QProcess::NotRunning) {
            sibling_->kill();
            sibling_->waitForFinished(5000);
        }
    }

    void notRunningBeforeStart() { QVERIFY(!platform::siblingRunning()); }

    void startsAndAnswers()
    {
        sibling_ = std::make_unique<QProcess>();
        sibling_->setProcessChannelMode(QProcess::ForwardedChannels);
        sibling_->start(program(), QStringList());
        QVERIFY(sibling_->waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
    }

    // It made the segment and wrote before it began to answer; the program attaches to it.
    void publishesFirstReading()
    {
        QVERIFY(!metrics::createCpuInfoMemory(metrics::CpuInfoMemorySize));
        QVERIFY(metrics::attachCpuInfoMemory());
        const Words words = read();
        QCOMPARE(words.temperature, 57);
        QCOMPARE(words.load, 0); // one /proc/stat reading is no rate yet
        QCOMPARE(words.power, 0);
        QCOMPARE(words.reserved, 0);
    }

    void followsTheSensors()
    {
        QVERIFY(writeTree(tree_.path(),
                          {"sys/class/hwmon/hwmon0/temp1_input=61000", "proc/stat=cpu  160 0 70 900 70 0 0 0 0 0"}));
        QTRY_COMPARE_WITH_TIMEOUT(read().temperature, 61, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(read().load, 40, 5000);
    }

    void secondCopyLeaves()
    {
        QProcess second;
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(program(), QStringList());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(platform::siblingRunning());
        QCOMPARE(read().temperature, 61);
    }

    void closesOnRequest()
    {
        platform::closeSibling();
        QVERIFY(sibling_->waitForFinished(5000));
        QCOMPARE(sibling_->exitStatus(), QProcess::NormalExit);
        QCOMPARE(sibling_->exitCode(), 0);
        QVERIFY(!platform::siblingRunning());
    }

    // A copy that was killed leaves its socket file and lock behind; the next one starts anyway.
    void restartsAfterAKill()
    {
        sibling_ = std::make_unique<QProcess>();
        sibling_->setProcessChannelMode(QProcess::ForwardedChannels);
        sibling_->start(program(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        sibling_->kill();
        QVERIFY(sibling_->waitForFinished(5000));
        QVERIFY(QFileInfo::exists(platform::siblingServerName()));

        sibling_->start(program(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        platform::closeSibling();
        QVERIFY(sibling_->waitForFinished(5000));
        QCOMPARE(sibling_->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestGetCpuInfo)
#include "test_getcpuinfo.moc"
