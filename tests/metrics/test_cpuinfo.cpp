// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"

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
const char Published[] = "\x39\0\0\0\x0c\0\0\0\x23\0\0\0\0\0\0\0\x09\0\0\0\xe2\x04\0\0\x3d\0\0\0\0\0\0\0";
const QList<int> PublishedWords{57, 12, 35, 0, 1250, 61, 0};
const QList<int> Other{61, 40, 20, 0, 900, 0, 0};

} // namespace

// A private runtime folder and a name per test, so that neither a running GetCPUInfo nor an
// earlier test's segment is seen.
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
    }
    void cleanup() { detachCpuInfoMemory(); }

    // What GetCPUInfo published, or what another user or a writer that died half way left where
    // the segment goes: that is never taken, and never read as figures.
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("left"); // how the file was left: its mode, "link", "owner", "odd" or "none"
        QTest::addColumn<bool>("attached");
        QTest::addColumn<QList<int>>("expected");
        const QByteArray published(Published, 32);
        // Made here before GetCPUInfo wrote anything: nothing measured yet, not a 0 ℃ CPU.
        QTest::newRow("fresh segment") << QByteArray() << "none" << true << Unavailable;
        QTest::newRow("published") << published << "0600" << true << PublishedWords;
        // A figure no machine can have is unavailable, never the clipped digits of INT_MIN
        // ("74836") or of 1000000 ("00000").
        QTest::newRow("INT_MIN, 1000000, -1, 30001 rpm")
            << QByteArray(
                   "\0\0\0\x80\x40\x42\x0f\0\xff\xff\xff\xff\x07\0\0\0\0\0\0\0\x31\x75\0\0\0\0\0\x80\xff\xff\xff\xff",
                   32)
            << "0600" << true << QList<int>{U, U, U, 7, U, U, U};
        QTest::newRow("just beyond: -41, 101, 1001, -1 rpm, 151, 101")
            << QByteArray("\xd7\xff\xff\xff\x65\0\0\0\xe9\x03\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\xff\x97\0\0\0\x65\0\0\0",
                          32)
            << "0600" << true << QList<int>{U, U, U, 0, U, U, U};
        QTest::newRow("at the edges: -40, 100, 1000, 0 rpm, 150, 100")
            << QByteArray("\xd8\xff\xff\xff\x64\0\0\0\xe8\x03\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x96\0\0\0\x64\0\0\0", 32)
            << "0600" << true << QList<int>{-40, 100, 1000, 0, 0, 150, 100};
        QTest::newRow("readable by the group") << published << "0640" << false << Unavailable;
        QTest::newRow("a link to another file") << published << "link" << false << Unavailable;
        QTest::newRow("another user's file") << published << "owner" << false << Unavailable;
        QTest::newRow("a publish that never finished") << published << "odd" << true << Unavailable;
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
};

QTEST_GUILESS_MAIN(TestCpuInfo)
#include "test_cpuinfo.moc"
