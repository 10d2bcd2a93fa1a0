#include "metrics/cpuinfo.h"

#include <QSharedMemory>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <thread>

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
        QTest::newRow("no segment possible") << QByteArray() << 0 << Unavailable;
        // Made here before GetCPUInfo wrote anything: nothing measured yet, not a 0 ℃ CPU.
        QTest::newRow("fresh segment") << QByteArray() << CpuInfoMemorySize << Unavailable;
        QTest::newRow("published") << QByteArray(Published, 32) << CpuInfoMemorySize << PublishedWords;
        // A figure no machine can have is unavailable, never the clipped digits of INT_MIN
        // ("74836") or of 1000000 ("00000").
        QTest::newRow("INT_MIN, 1000000, -1, 30001 rpm")
            << QByteArray(
                   "\0\0\0\x80\x40\x42\x0f\0\xff\xff\xff\xff\x07\0\0\0\0\0\0\0\x31\x75\0\0\0\0\0\x80\xff\xff\xff\xff",
                   32)
            << CpuInfoMemorySize << QList<int>{U, U, U, 7, U, U, U};
        QTest::newRow("just beyond: -41, 101, 1001, -1 rpm, 151, 101")
            << QByteArray("\xd7\xff\xff\xff\x65\0\0\0\xe9\x03\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\xff\x97\0\0\0\x65\0\0\0",
                          32)
            << CpuInfoMemorySize << QList<int>{U, U, U, 0, U, U, U};
        QTest::newRow("at the edges: -40, 100, 1000, 0 rpm, 150, 100")
            << QByteArray("\xd8\xff\xff\xff\x64\0\0\0\xe8\x03\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x96\0\0\0\x64\0\0\0", 32)
            << CpuInfoMemorySize << QList<int>{-40, 100, 1000, 0, 0, 150, 100};
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
        QCOMPARE(readWords(), Unavailable);
    }

    // The refresh thread reads while the GUI thread detaches and attaches again: every read must
    // see either the published figures or none, and the sanitizer no race.
    void readsAcrossDetach()
    {
        QSharedMemory writer(cpuInfoMemoryKey());
        QVERIFY(writer.create(CpuInfoMemorySize));
        std::memcpy(writer.data(), Published, 32);
        QVERIFY(attachCpuInfoMemory());
        std::atomic<bool> stop{false};
        std::atomic<int> torn{0}, reads{0};
        std::thread reader([&] {
            for (; !stop; ++reads) {
                const QList<int> words = readWords();
                if (words != PublishedWords && words != Unavailable)
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
