#include "metrics/cpuinfo.h"

#include <QSharedMemory>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <thread>

using namespace korvo::metrics;

namespace {

QList<int> readWords()
{
    int words[4] = {-100, -100, -100, -100};
    readCpuInfo(words[0], words[1], words[2], words[3]);
    return {words[0], words[1], words[2], words[3]};
}

const QList<int> Ones{1, 1, 1, 1};
const char Published[] = "\x39\0\0\0\x0c\0\0\0\x23\0\0\0\0\0\0\0"; // 57, 12, 35, 0

} // namespace

// A key per test, so that neither a running GetCPUInfo nor an earlier test's segment is seen.
class TestCpuInfo : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        static int serial = 0;
        qputenv("KORVO_CPUINFO_KEY", "KorvoTestCpuInfo-" + QByteArray::number(QCoreApplication::applicationPid()) +
                                         '-' + QByteArray::number(++serial));
    }
    void cleanup() { detachCpuInfoMemory(); }

    // "bytes": what GetCPUInfo wrote into the segment it made first; empty when it is not running.
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("no segment possible") << QByteArray() << 0 << Ones;
        QTest::newRow("fresh segment") << QByteArray() << CpuInfoMemorySize << QList<int>{0, 0, 0, 0};
        QTest::newRow("published") << QByteArray(Published, 16) << CpuInfoMemorySize << QList<int>{57, 12, 35, 0};
        // A figure no machine can have reads as if GetCPUInfo were not running, so the screen shows
        // "1" rather than the clipped digits of INT_MIN ("74836") or of 1000000 ("00000").
        QTest::newRow("INT_MIN, 1000000, -1") << QByteArray("\0\0\0\x80\x40\x42\x0f\0\xff\xff\xff\xff\x07\0\0\0", 16)
                                              << CpuInfoMemorySize << QList<int>{1, 1, 1, 7};
        QTest::newRow("just beyond: -41, 101, 1001") << QByteArray("\xd7\xff\xff\xff\x65\0\0\0\xe9\x03\0\0\0\0\0\0", 16)
                                                     << CpuInfoMemorySize << QList<int>{1, 1, 1, 0};
        QTest::newRow("at the edges: -40, 100, 1000")
            << QByteArray("\xd8\xff\xff\xff\x64\0\0\0\xe8\x03\0\0\0\0\0\0", 16) << CpuInfoMemorySize
            << QList<int>{-40, 100, 1000, 0};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, size);
        QSharedMemory writer(cpuInfoMemoryKey());
        if (!bytes.isEmpty()) {
            QVERIFY(writer.create(CpuInfoMemorySize));
            std::memcpy(writer.data(), bytes.constData(), size_t(bytes.size()));
        }
        QCOMPARE(createCpuInfoMemory(size) || attachCpuInfoMemory(), size > 0);
        QTEST(readWords(), "expected");
        detachCpuInfoMemory();
        QCOMPARE(readWords(), Ones);
    }

    // The refresh thread reads while the GUI thread detaches and attaches again: every read must
    // see either the published figures or the all-1 fallback, and the sanitizer no race.
    void readsAcrossDetach()
    {
        QSharedMemory writer(cpuInfoMemoryKey());
        QVERIFY(writer.create(CpuInfoMemorySize));
        std::memcpy(writer.data(), Published, 16);
        QVERIFY(attachCpuInfoMemory());
        std::atomic<bool> stop{false};
        std::atomic<int> torn{0}, reads{0};
        std::thread reader([&] {
            for (; !stop; ++reads) {
                const QList<int> words = readWords();
                if (words != QList<int>{57, 12, 35, 0} && words != Ones)
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
        QCOMPARE(unattached, 0);
        QCOMPARE(torn.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCpuInfo)
#include "test_cpuinfo.moc"
