// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrics/figuretexts.h"
#include "platform/clock.h"

#include <QtTest>

using namespace korvo::metrics;

class TestFigureTexts : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        korvo::platform::setClockOverride([] { return QDateTime(QDate(987, 2, 3), QTime(0, 5, 30)); });
    }
    void cleanup() { korvo::platform::setClockOverride({}); }

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

QTEST_GUILESS_MAIN(TestFigureTexts)
#include "test_figuretexts.moc"
