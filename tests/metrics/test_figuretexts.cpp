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

    // Block: CPU temperature, load, power, fan speed, GPU temperature, GPU load.
    void metricText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("block");
        QTest::addColumn<QString>("expected");
        const int U = UnavailableFigure;
        const QList<int> read{57, 12, 35, 800, 61, 0};
        const QList<int> none{U, U, U, U, U, U};
        QTest::newRow("CPU temperature") << 0 << read << "57℃";
        QTest::newRow("CPU temperature, none") << 0 << none << "--℃";
        QTest::newRow("CPU load") << 1 << read << "12%";
        // 0 % is a CPU not measured yet: shown as 1, not as an idle or switched-off machine.
        QTest::newRow("CPU load 0") << 1 << QList<int>{57, 0, 35, 800, 61, 0} << "1%";
        QTest::newRow("CPU load, none") << 1 << none << "--%";
        QTest::newRow("CPU power") << 4 << read << "35w";
        QTest::newRow("CPU power 0") << 4 << QList<int>{57, 12, 0, 800, 61, 0} << "1w";
        QTest::newRow("CPU power, none") << 4 << none << "--w";
        QTest::newRow("time") << 3 << none << "00:05";
        QTest::newRow("date") << 5 << none << "0987.02.03";
        QTest::newRow("fan speed, right-aligned in four") << 6 << read << " 800";
        QTest::newRow("fan speed, none") << 6 << none << "--";
        QTest::newRow("GPU temperature") << 9 << read << "61℃";
        QTest::newRow("GPU temperature, none") << 9 << none << "--℃";
        QTest::newRow("GPU load 0: an idle GPU") << 10 << read << "0%";
        QTest::newRow("GPU load, none") << 10 << none << "--%";
        QTest::newRow("free text") << 7 << read << "";
        QTest::newRow("unknown kind") << 11 << read << "";
    }
    void metricText()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, block);
        if (kind == 11)
            QTest::ignoreMessage(QtWarningMsg, "metricText: unknown figure kind 11.");
        CpuInfoBlock cpu;
        cpu.cpuTemperature = block[0];
        cpu.cpuLoad = block[1];
        cpu.cpuPower = block[2];
        cpu.fanSpeed = block[3];
        cpu.gpuTemperature = block[4];
        cpu.gpuLoad = block[5];
        QTEST(korvo::metrics::metricText(kind, cpu), "expected");
    }

    void memoryLoadText_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("expected");
        QTest::newRow("read") << 42 << "42%";
        QTest::newRow("unreadable") << -1 << "--%";
    }
    void memoryLoadText()
    {
        QFETCH(int, percent);
        QTEST(korvo::metrics::memoryLoadText(percent), "expected");
    }
};

QTEST_GUILESS_MAIN(TestFigureTexts)
#include "test_figuretexts.moc"
