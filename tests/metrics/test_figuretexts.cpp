#include "metrics/figuretexts.h"
#include "platform/clock.h"

#include <QtTest>

using namespace korvo::metrics;

class TestFigureTexts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { korvo::setClockOverride({}); }

    void fanSpeed_data()
    {
        QTest::addColumn<int>("degrees");
        QTest::addColumn<QString>("expected");
        QTest::newRow("below zero") << -5 << "1000";
        QTest::newRow("cool") << 20 << "1000";
        QTest::newRow("last flat degree") << 50 << "1000";
        QTest::newRow("first step") << 51 << "1100";
        QTest::newRow("middle") << 63 << "2300";
        QTest::newRow("last step") << 74 << "3400";
        QTest::newRow("ceiling") << 75 << "3500";
        QTest::newRow("far above") << 100 << "3500";
    }
    void fanSpeed()
    {
        QFETCH(int, degrees);
        QFETCH(QString, expected);
        QCOMPARE(fanSpeedText(degrees), expected);
    }

    void clock_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::newRow("morning") << QDateTime(QDate(2025, 2, 3), QTime(9, 5, 30)) << "09:05"
                                 << "2025.02.03";
        QTest::newRow("evening") << QDateTime(QDate(2025, 2, 3), QTime(21, 40)) << "21:40"
                                 << "2025.02.03";
        QTest::newRow("midnight") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << "00:00"
                                  << "2000.01.01";
        QTest::newRow("year's last minute") << QDateTime(QDate(2019, 12, 31), QTime(23, 59, 59)) << "23:59"
                                            << "2019.12.31";
    }
    void clock()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, time);
        QFETCH(QString, date);
        korvo::setClockOverride([now] { return now; });
        QCOMPARE(timeText(), time);
        QCOMPARE(dateText(), date);
    }

    // What the refresh loop asks for, one kind at a time, over the words of one read.
    void metricTextByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("temperature");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("power");
        QTest::addColumn<QString>("expected");
        QTest::newRow("temperature") << 0 << 57 << 12 << 35 << QStringLiteral("57℃");
        QTest::newRow("load") << 1 << 57 << 12 << 35 << "12%";
        QTest::newRow("time") << 3 << 57 << 12 << 35 << "09:05";
        QTest::newRow("power") << 4 << 57 << 12 << 35 << "35w";
        QTest::newRow("date") << 5 << 57 << 12 << 35 << "2025.02.03";
        QTest::newRow("fan from temperature") << 6 << 57 << 12 << 35 << "1700";
        QTest::newRow("temperature below zero") << 0 << -5 << 12 << 35 << QStringLiteral("-5℃");
        QTest::newRow("load full") << 1 << 57 << 100 << 35 << "100%";
        QTest::newRow("load negative floors") << 1 << 57 << -3 << 35 << "1%";
        QTest::newRow("power high") << 4 << 57 << 12 << 65 << "65w";
        QTest::newRow("power negative floors") << 4 << 57 << 12 << -1 << "1w";
        QTest::newRow("free text") << 7 << 57 << 12 << 35 << "";
        QTest::newRow("second string") << 8 << 57 << 12 << 35 << "";
        QTest::newRow("below range") << -1 << 57 << 12 << 35 << "";
        QTest::newRow("above range") << 9 << 57 << 12 << 35 << "";
        // No GetCPUInfo and no segment: the reader hands over 1 for every word.
        QTest::newRow("unread temperature") << 0 << 1 << 1 << 1 << QStringLiteral("1℃");
        QTest::newRow("unread load") << 1 << 1 << 1 << 1 << "1%";
        QTest::newRow("unread power") << 4 << 1 << 1 << 1 << "1w";
        QTest::newRow("unread fan") << 6 << 1 << 1 << 1 << "1000";
        // The segment exists but GetCPUInfo has not written yet.
        QTest::newRow("unwritten temperature") << 0 << 0 << 0 << 0 << QStringLiteral("0℃");
        QTest::newRow("unwritten load") << 1 << 0 << 0 << 0 << "1%";
        QTest::newRow("unwritten power") << 4 << 0 << 0 << 0 << "1w";
        QTest::newRow("unwritten fan") << 6 << 0 << 0 << 0 << "1000";
    }
    void metricTextByKind()
    {
        QFETCH(int, kind);
        QFETCH(int, temperature);
        QFETCH(int, load);
        QFETCH(int, power);
        QFETCH(QString, expected);
        korvo::setClockOverride([] { return QDateTime(QDate(2025, 2, 3), QTime(9, 5, 30)); });
        if (kind < 0 || kind > 8)
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(QStringLiteral("metricText: unknown figure kind %1.").arg(kind)));
        CpuInfoBlock cpu;
        cpu.cpuTemperature = temperature;
        cpu.cpuLoad = load;
        cpu.cpuPower = power;
        cpu.reserved = 99;
        QCOMPARE(metricText(kind, cpu), expected);
    }
};

QTEST_GUILESS_MAIN(TestFigureTexts)
#include "test_figuretexts.moc"
