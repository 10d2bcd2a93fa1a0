// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"
#include "metrics/figuretexts.h"
#include "platform/clock.h"

#include <QtTest>

#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace korvo::metrics;

namespace {

// CPU temperature, load, power, the reserved word, fan speed, GPU temperature, GPU load.
QList<int> readWords()
{
    const CpuInfoBlock b = readCpuInfo();
    return {b.cpuTemperature, b.cpuLoad, b.cpuPower, b.reserved, b.fanSpeed, b.gpuTemperature, b.gpuLoad};
}

constexpr int U = UnavailableFigure;
const QList<int> Unavailable{U, U, U, 0, U, U, U};
// 57, 12, 35, 0, the heartbeat 9, 1250 rpm, 61, 0
const QByteArray Published =
    QByteArray::fromHex("39000000 0c000000 23000000 00000000 09000000 e2040000 3d000000 00000000");
const QList<int> PublishedWords{57, 12, 35, 0, 1250, 61, 0};
const QList<int> Other{61, 40, 20, 0, 900, 0, 0};

} // namespace

// A private runtime folder and a name per test, so that neither a running GetCPUInfo nor an
// earlier test's segment is seen; a fixed clock for the figures' texts.
class TestCpuInfo : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime_;

    QString segmentFile() const { return runtime_.filePath(cpuInfoMemoryKey()); }

    // The segment as the other side left it: 4096 bytes, `bytes` from offset 0, `tail` at the end.
    bool writeSegment(const QByteArray& bytes, const QByteArray& tail = QByteArray(4, '\0'), int mode = 0600)
    {
        QFile file(segmentFile());
        QByteArray content = bytes + QByteArray(4096 - bytes.size() - tail.size(), '\0') + tail;
        return file.open(QIODevice::WriteOnly) && file.write(content) == 4096 && file.flush() &&
               ::chmod(QFile::encodeName(segmentFile()).constData(), mode_t(mode)) == 0;
    }

private slots:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path())); }
    void init()
    {
        static int serial = 0;
        qputenv("KORVO_CPUINFO_KEY", "KorvoTestCpuInfo-" + QByteArray::number(++serial));
        korvo::platform::setClockOverride([] { return QDateTime(QDate(987, 2, 3), QTime(0, 5, 30)); });
    }
    void cleanup()
    {
        detachCpuInfoMemory();
        korvo::platform::setClockOverride({});
    }

    // What GetCPUInfo published, or what another user or a writer that died half way left where
    // the segment goes: that is never taken, and never read as figures.
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("left"); // how the file was left: its mode, "link", "owner", "odd" or "none"
        QTest::addColumn<bool>("attached");
        QTest::addColumn<QList<int>>("expected");
        // Made here before GetCPUInfo wrote anything: nothing measured yet, not a 0 ℃ CPU.
        QTest::newRow("fresh segment") << QByteArray() << "none" << true << Unavailable;
        QTest::newRow("published") << Published << "0600" << true << PublishedWords;
        // A figure no machine can have is unavailable, never the clipped digits of INT_MIN
        // ("74836") or of 1000000 ("00000").
        QTest::newRow("INT_MIN, 1000000, -1, 30001 rpm")
            << QByteArray::fromHex("00000080 40420f00 ffffffff 07000000 00000000 31750000 00000080 ffffffff") << "0600"
            << true << QList<int>{U, U, U, 7, U, U, U};
        QTest::newRow("just beyond: -41, 101, 1001, -1 rpm, 151, 101")
            << QByteArray::fromHex("d7ffffff 65000000 e9030000 00000000 00000000 ffffffff 97000000 65000000") << "0600"
            << true << QList<int>{U, U, U, 0, U, U, U};
        QTest::newRow("at the edges: -40, 100, 1000, 0 rpm, 150, 100")
            << QByteArray::fromHex("d8ffffff 64000000 e8030000 00000000 00000000 00000000 96000000 64000000") << "0600"
            << true << QList<int>{-40, 100, 1000, 0, 0, 150, 100};
        QTest::newRow("readable by the group") << Published << "0640" << false << Unavailable;
        QTest::newRow("a link to another file") << Published << "link" << false << Unavailable;
        QTest::newRow("another user's file") << Published << "owner" << false << Unavailable;
        QTest::newRow("a publish that never finished") << Published << "odd" << true << Unavailable;
    }
    void read()
    {
        QFETCH(QString, left);
        QFETCH(QByteArray, bytes);
        // Giving a file away needs root; an ordinary user meets the same refusal in the rows above.
        if (left == "owner" && geteuid() != 0)
            QSKIP("only root can give a file to another user");
        const QByteArray tail(left == "odd" ? "\x01\0\0\0" : "\0\0\0\0", 4);
        QVERIFY(left == "none" || writeSegment(bytes, tail, left.startsWith('0') ? left.toInt(nullptr, 8) : 0600));
        const QString target = runtime_.filePath("elsewhere");
        QVERIFY(left != "link" || (QFile::rename(segmentFile(), target) && QFile::link(target, segmentFile())));
        QVERIFY(left != "owner" || ::chown(QFile::encodeName(segmentFile()).constData(), 65534, 65534) == 0);
        QFETCH(bool, attached);
        QCOMPARE(attachCpuInfoMemory() || createCpuInfoMemory(CpuInfoMemorySize), attached);
        QTEST(readWords(), "expected");
        // The next publish is read without attaching again: over what a writer that died half way
        // left open, or from a new copy that made the segment again after the last one ended.
        CpuInfoSegment next;
        QVERIFY(left == "odd" ? next.attach() : (QFile::remove(segmentFile()) && next.create()));
        QVERIFY(next.publish(cpuInfoBytes({61, 40, 20, 0, 0, 900})));
        QCOMPARE(readWords(), attached ? Other : Unavailable);
        detachCpuInfoMemory();
        QCOMPARE(readWords(), Unavailable);
    }

    // The refresh thread reads while the GUI thread detaches and attaches again and GetCPUInfo
    // publishes: every read must see one whole block or none, and the sanitizer no race.
    void readsAcrossDetach()
    {
        // Published before the threads start: a reader that ran ahead of the publisher would
        // otherwise meet the fresh segment's zeros, which no publish ever leaves.
        CpuInfoSegment writer;
        QVERIFY(writer.create() && writer.publish(cpuInfoBytes({61, 40, 20, 0, 0, 900})));
        QVERIFY(attachCpuInfoMemory());
        std::atomic<bool> stop{false};
        std::atomic<int> torn{0}, reads{0};
        std::thread publisher([&] {
            for (int n = 0; !stop; ++n)
                writer.publish(n % 2 ? cpuInfoBytes({57, 12, 35, 0, 9, 1250, 61, 0})
                                     : cpuInfoBytes({61, 40, 20, 0, 0, 900}));
        });
        std::thread reader([&] {
            for (; !stop; ++reads) {
                const QList<int> words = readWords();
                if (words != PublishedWords && words != Other && words != Unavailable)
                    ++torn;
            }
        });
        int unattached = 0;
        for (int cycle = 0; cycle < 200; ++cycle) {
            detachCpuInfoMemory();
            unattached += attachCpuInfoMemory() ? 0 : 1;
        }
        while (reads < 100)
            std::this_thread::yield();
        stop = true;
        reader.join();
        publisher.join();
        QCOMPARE(unattached, 0);
        QCOMPARE(torn.load(), 0);
    }

    // Each kind from a block read, one whose CPU load and power are 0, and one with nothing read.
    void metricText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("CPU temperature") << 0 << QStringList{"57℃", "57℃", "--℃"};
        // 0 is a CPU not measured yet: shown as 1, not as an idle or switched-off machine.
        QTest::newRow("CPU load") << 1 << QStringList{"12%", "1%", "--%"};
        QTest::newRow("CPU power") << 4 << QStringList{"35w", "1w", "--w"};
        QTest::newRow("time") << 3 << QStringList{"00:05", "00:05", "00:05"};
        QTest::newRow("date") << 5 << QStringList{"0987.02.03", "0987.02.03", "0987.02.03"};
        QTest::newRow("fan speed, right-aligned in four") << 6 << QStringList{" 800", " 800", "--"};
        QTest::newRow("GPU temperature") << 9 << QStringList{"61℃", "61℃", "--℃"};
        QTest::newRow("GPU load 0: an idle GPU") << 10 << QStringList{"0%", "0%", "--%"};
    }
    void metricText()
    {
        QFETCH(int, kind);
        QStringList texts;
        for (const CpuInfoBlock& block :
             {CpuInfoBlock{57, 12, 35, 0, 800, 61, 0}, CpuInfoBlock{57, 0, 0, 0, 800, 61, 0}, CpuInfoBlock{}})
            texts << korvo::metrics::metricText(kind, block);
        QTEST(texts, "expected");
    }

    // The memory load is read apart from the block; unreadable, it shows as missing like the rest.
    void unreadableMemoryLoad() { QCOMPARE(korvo::metrics::memoryLoadText(-1), QString("--%")); }
};

QTEST_GUILESS_MAIN(TestCpuInfo)
#include "test_cpuinfo.moc"
