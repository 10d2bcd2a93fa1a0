#include "GetCPUInfo/winfigures.h"

#include <QtTest>

using namespace korvo::sensors;

Q_DECLARE_METATYPE(korvo::sensors::SystemTimes)

class TestWinFigures : public QObject
{
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<SystemTimes>("earlier");
        QTest::addColumn<SystemTimes>("later");
        QTest::addColumn<int>("percent"); // -1: nothing
        // idle, kernel (idle included), user
        QTest::newRow("half busy") << SystemTimes{1000, 3000, 1000} << SystemTimes{4000, 7000, 3000} << 50;
        QTest::newRow("62.5 rounds up") << SystemTimes{0, 0, 0} << SystemTimes{3, 6, 2} << 63;
        QTest::newRow("idle") << SystemTimes{0, 0, 0} << SystemTimes{500, 500, 0} << 0;
        QTest::newRow("all busy") << SystemTimes{0, 0, 0} << SystemTimes{0, 300, 700} << 100;
        QTest::newRow("16 CPUs, a year up") << SystemTimes{900000000000000, 1200000000000000, 400000000000000}
                                            << SystemTimes{900000120000000, 1200000140000000, 400000020000000} << 25;
        QTest::newRow("no time passed") << SystemTimes{10, 20, 30} << SystemTimes{10, 20, 30} << -1;
        QTest::newRow("idle went back") << SystemTimes{100, 200, 0} << SystemTimes{90, 300, 50} << -1;
        QTest::newRow("user went back") << SystemTimes{100, 200, 60} << SystemTimes{150, 300, 50} << -1;
        QTest::newRow("more idle than kernel") << SystemTimes{0, 0, 0} << SystemTimes{600, 500, 100} << -1;
    }

    void load()
    {
        QFETCH(SystemTimes, earlier);
        QFETCH(SystemTimes, later);
        QFETCH(int, percent);
        QCOMPARE(loadBetween(earlier, later).value_or(-1), percent);
    }

    void temperature_data()
    {
        QTest::addColumn<uint>("deciKelvin");
        QTest::addColumn<int>("celsius"); // -1000: nothing
        QTest::newRow("50 °C") << 3232u << 50;
        QTest::newRow("40.55 rounds up") << 3137u << 41;
        QTest::newRow("24.95 rounds up") << 2982u << 25;
        QTest::newRow("freezing") << 2732u << 0;
        QTest::newRow("-39.95 rounds down") << 2332u << -40;
        QTest::newRow("150 °C, the hottest") << 4232u << 150;
        QTest::newRow("151 °C") << 4242u << -1000;
        QTest::newRow("-43 °C") << 2300u << -1000;
        QTest::newRow("zone left at 0") << 0u << -1000;
        QTest::newRow("all bits") << 0xFFFFFFFFu << -1000;
    }

    void temperature()
    {
        QFETCH(uint, deciKelvin);
        QFETCH(int, celsius);
        QCOMPARE(celsiusFromDeciKelvin(deciKelvin).value_or(-1000), celsius);
    }
};

QTEST_GUILESS_MAIN(TestWinFigures)
#include "test_winfigures.moc"
