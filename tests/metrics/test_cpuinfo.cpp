#include "metrics/cpuinfo.h"

#include <QSharedMemory>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <thread>

using namespace korvo::metrics;

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
    readCpuInfo(words.temperature, words.load, words.power, words.reserved);
    return words;
}

} // namespace

// Each test takes a key of its own, so that neither a running GetCPUInfo nor an earlier test's
// leftover segment is seen.
class TestCpuInfo : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        static int serial = 0;
        qputenv("KORVO_CPUINFO_KEY", QByteArray("KorvoTestCpuInfo-") +
                                         QByteArray::number(QCoreApplication::applicationPid()) + '-' +
                                         QByteArray::number(++serial));
    }
    void cleanup() { detachCpuInfoMemory(); }

    void uncreatableSegmentReadsOnes()
    {
        QVERIFY(!createCpuInfoMemory(0));
        QVERIFY(!attachCpuInfoMemory());
        const Words words = read();
        QCOMPARE(words.temperature, 1);
        QCOMPARE(words.load, 1);
        QCOMPARE(words.power, 1);
        QCOMPARE(words.reserved, 1);
    }

    void createdSegmentReadsZeros()
    {
        QVERIFY(createCpuInfoMemory(CpuInfoMemorySize));
        // Already attached through the create; the attach has nothing left to do.
        QVERIFY(!attachCpuInfoMemory());
        const Words words = read();
        QCOMPARE(words.temperature, 0);
        QCOMPARE(words.load, 0);
        QCOMPARE(words.power, 0);
        QCOMPARE(words.reserved, 0);
    }

    // GetCPUInfo made the segment first and wrote these bytes; the reader attaches to it.
    void publishedWords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("temperature");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("power");
        QTest::addColumn<int>("reserved");
        QTest::newRow("typical") << QByteArray("\x39\0\0\0\x0c\0\0\0\x23\0\0\0\0\0\0\0", 16) << 57 << 12 << 35 << 0;
        QTest::newRow("negative and wide")
            << QByteArray("\xfb\xff\xff\xff\x64\0\0\0\x01\x01\0\0\x07\0\0\0", 16) << -5 << 100 << 257 << 7;
        // Only the first 16 bytes are figures; what follows is not read.
        QTest::newRow("trailing bytes") << QByteArray("\x2d\0\0\0\x41\0\0\0\x0f\0\0\0\0\0\0\0\x63\x63\x63\x63", 20)
                                        << 45 << 65 << 15 << 0;
    }
    void publishedWords()
    {
        QFETCH(QByteArray, bytes);
        QSharedMemory writer(cpuInfoMemoryKey());
        QVERIFY(writer.create(CpuInfoMemorySize));
        QVERIFY(writer.lock());
        std::memcpy(writer.data(), bytes.constData(), size_t(bytes.size()));
        QVERIFY(writer.unlock());

        QVERIFY(!createCpuInfoMemory(CpuInfoMemorySize));
        QVERIFY(attachCpuInfoMemory());
        const Words words = read();
        QTEST(words.temperature, "temperature");
        QTEST(words.load, "load");
        QTEST(words.power, "power");
        QTEST(words.reserved, "reserved");
    }

    void detachedReadsOnesAgain()
    {
        QSharedMemory writer(cpuInfoMemoryKey());
        QVERIFY(writer.create(CpuInfoMemorySize));
        std::memcpy(writer.data(), "\x39\0\0\0\x0c\0\0\0\x23\0\0\0\0\0\0\0", 16);
        QVERIFY(attachCpuInfoMemory());
        QCOMPARE(read().temperature, 57);
        detachCpuInfoMemory();
        const Words words = read();
        QCOMPARE(words.temperature, 1);
        QCOMPARE(words.load, 1);
        QCOMPARE(words.power, 1);
    }

    // The refresh thread reads while the GUI thread detaches and attaches again: every read must
    // see either the published figures or the all-1 fallback, and the sanitizer no race.
    void readsAcrossDetach()
    {
        QSharedMemory writer(cpuInfoMemoryKey());
        QVERIFY(writer.create(CpuInfoMemorySize));
        std::memcpy(writer.data(), "\x39\0\0\0\x0c\0\0\0\x23\0\0\0\0\0\0\0", 16);
        QVERIFY(attachCpuInfoMemory());

        std::atomic<bool> stop{false};
        std::atomic<int> torn{0};
        std::atomic<int> reads{0};
        std::thread reader([&] {
            while (!stop.load()) {
                const Words words = read();
                const bool published = words.temperature == 57 && words.load == 12 && words.power == 35;
                const bool fallback = words.temperature == 1 && words.load == 1 && words.power == 1;
                if (!published && !fallback)
                    torn.fetch_add(1);
                reads.fetch_add(1);
            }
        });
        for (int cycle = 0; cycle < 200; ++cycle) {
            detachCpuInfoMemory();
            QVERIFY(attachCpuInfoMemory());
        }
        while (reads.load() < 100)
            std::this_thread::yield();
        stop = true;
        reader.join();
        QCOMPARE(torn.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCpuInfo)
#include "test_cpuinfo.moc"
