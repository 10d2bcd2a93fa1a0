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

    void metricText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("temperature");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("power");
        QTest::addColumn<QString>("expected");
        QTest::newRow("temperature") << 0 << 57 << 12 << 35 << QStringLiteral("57℃");
        QTest::newRow("load") << 1 << 57 << 12 << 35 << "12%";
        // 0 is "not measured yet": shown as 1, not as an idle or switched-off machine.
        QTest::newRow("load 0") << 1 << 57 << 0 << 35 << "1%";
        QTest::newRow("power") << 4 << 57 << 12 << 35 << "35w";
        QTest::newRow("power 0") << 4 << 57 << 12 << 0 << "1w";
        QTest::newRow("time") << 3 << 57 << 12 << 35 << "00:05";
        QTest::newRow("date") << 5 << 57 << 12 << 35 << "0987.02.03";
        QTest::newRow("fan, last flat degree") << 6 << 50 << 12 << 35 << "1000";
        QTest::newRow("fan, first step") << 6 << 51 << 12 << 35 << "1100";
        QTest::newRow("fan, ceiling") << 6 << 75 << 12 << 35 << "3500";
        QTest::newRow("free text") << 7 << 57 << 12 << 35 << "";
        QTest::newRow("unknown kind") << 9 << 57 << 12 << 35 << "";
    }
    void metricText()
    {
        QFETCH(int, kind);
        QFETCH(int, temperature);
        QFETCH(int, load);
        QFETCH(int, power);
        if (kind == 9)
            QTest::ignoreMessage(QtWarningMsg, "metricText: unknown figure kind 9.");
        QTEST(korvo::metrics::metricText(kind, CpuInfoBlock{temperature, load, power}), "expected");
    }
};

QTEST_GUILESS_MAIN(TestFigureTexts)
#include "test_figuretexts.moc"
