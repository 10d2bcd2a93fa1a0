#include "platform/meminfo.h"

#include <QtTest>

class TestMeminfo : public QObject
{
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("meminfo");
        QTest::addColumn<int>("percent");
        QTest::newRow("normal") << QByteArray("MemTotal:       16000000 kB\nMemFree:         1000000 kB\n"
                                              "MemAvailable:    4000000 kB\nBuffers:          200000 kB\n")
                                << 75;
        QTest::newRow("truncated, not rounded") << QByteArray("MemTotal: 3 kB\nMemAvailable: 1 kB\n") << 66;
        QTest::newRow("all free") << QByteArray("MemTotal: 8 kB\nMemAvailable: 8 kB\n") << 0;
        QTest::newRow("all used") << QByteArray("MemAvailable: 0 kB\nMemTotal: 8 kB\n") << 100;
        QTest::newRow("no MemAvailable") << QByteArray("MemTotal: 16000000 kB\nMemFree: 1000 kB\n") << 0;
        QTest::newRow("garbage") << QByteArray("MemTotal: lots\nMemAvailable: some\n\x01\x02") << 0;
        QTest::newRow("zero total") << QByteArray("MemTotal: 0 kB\nMemAvailable: 0 kB\n") << 0;
        QTest::newRow("more available than total") << QByteArray("MemTotal: 10 kB\nMemAvailable: 20 kB\n") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("cut off inside MemAvailable") << QByteArray("MemTotal: 8 kB\nMemAvail") << 0;
        QTest::newRow("no line end") << QByteArray("MemTotal: 8 kB\nMemAvailable: 2") << 75;
        QTest::newRow("figure beyond any memory")
            << QByteArray("MemTotal: 99999999999999999999999 kB\nMemAvailable: 1 kB\n") << 0;
    }

    void load()
    {
        QFETCH(QByteArray, meminfo);
        QFETCH(int, percent);
        QCOMPARE(korvo::platform::memoryLoadFromMeminfo(meminfo), percent);
    }
};

QTEST_GUILESS_MAIN(TestMeminfo)
#include "test_meminfo.moc"
