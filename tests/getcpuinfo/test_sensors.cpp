#include "GetCPUInfo/sensors.h"
#include "faketree.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace korvo::sensors;

namespace {

QStringList messages;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& text)
{
    messages << text;
}

constexpr qint64 Second = 1000000;

} // namespace

class TestSensors : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> root_;

    SensorRoots roots() const { return {root_->path() + "/sys", root_->path() + "/proc"}; }

private slots:
    void init()
    {
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        messages.clear();
        qInstallMessageHandler(collectMessage);
    }
    void cleanup() { qInstallMessageHandler(nullptr); }

    void temperature_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<int>("expected");
        QTest::newRow("Intel package, not a core")
            << QStringList{"class/hwmon/hwmon0/name=coretemp", "class/hwmon/hwmon0/temp1_label=Package id 0",
                           "class/hwmon/hwmon0/temp1_input=48000", "class/hwmon/hwmon0/temp2_label=Core 0",
                           "class/hwmon/hwmon0/temp2_input=55000"}
            << 48;
        QTest::newRow("AMD die before control")
            << QStringList{"class/hwmon/hwmon1/name=k10temp", "class/hwmon/hwmon1/temp1_label=Tctl",
                           "class/hwmon/hwmon1/temp1_input=75250", "class/hwmon/hwmon1/temp2_label=Tdie",
                           "class/hwmon/hwmon1/temp2_input=48250"}
            << 48;
        QTest::newRow("AMD control alone")
            << QStringList{"class/hwmon/hwmon1/name=k10temp", "class/hwmon/hwmon1/temp1_label=Tctl",
                           "class/hwmon/hwmon1/temp1_input=75250"}
            << 75;
        QTest::newRow("zenpower, half a degree rounds up")
            << QStringList{"class/hwmon/hwmon3/name=zenpower", "class/hwmon/hwmon3/temp1_label=Tdie",
                           "class/hwmon/hwmon3/temp1_input=61500"}
            << 62;
        QTest::newRow("CPU chip found past a drive and a GPU")
            << QStringList{"class/hwmon/hwmon0/name=nvme",         "class/hwmon/hwmon0/temp1_label=Composite",
                           "class/hwmon/hwmon0/temp1_input=40000", "class/hwmon/hwmon1/name=amdgpu",
                           "class/hwmon/hwmon1/temp1_label=edge",  "class/hwmon/hwmon1/temp1_input=50000",
                           "class/hwmon/hwmon12/name=coretemp",    "class/hwmon/hwmon12/temp1_label=Package id 0",
                           "class/hwmon/hwmon12/temp1_input=44000"}
            << 44;
        QTest::newRow("hwmon before the thermal zones")
            << QStringList{"class/hwmon/hwmon0/name=coretemp", "class/hwmon/hwmon0/temp1_label=Package id 0",
                           "class/hwmon/hwmon0/temp1_input=48000", "class/thermal/thermal_zone0/type=x86_pkg_temp",
                           "class/thermal/thermal_zone0/temp=52000"}
            << 48;
        QTest::newRow("package zone when no chip is known")
            << QStringList{"class/hwmon/hwmon0/name=nvme",           "class/hwmon/hwmon0/temp1_label=Composite",
                           "class/hwmon/hwmon0/temp1_input=40000",   "class/thermal/thermal_zone0/type=acpitz",
                           "class/thermal/thermal_zone0/temp=27800", "class/thermal/thermal_zone1/type=x86_pkg_temp",
                           "class/thermal/thermal_zone1/temp=52000"}
            << 52;
        QTest::newRow("first zone that reads")
            << QStringList{"class/thermal/thermal_zone10/type=pch", "class/thermal/thermal_zone10/temp=45000",
                           "class/thermal/thermal_zone2/type=acpitz", "class/thermal/thermal_zone2/temp=27800"}
            << 28;
        QTest::newRow("below zero") << QStringList{"class/thermal/thermal_zone0/type=acpitz",
                                                   "class/thermal/thermal_zone0/temp=-5000"}
                                    << -5;
    }
    void temperature()
    {
        QFETCH(QStringList, tree);
        QVERIFY(writeTree(roots().sys, tree));
        CpuSampler sampler(roots());
        QTEST(sampler.sample(0).temperature, "expected");
    }

    // The chosen sensor disappears (its driver unloaded): the next reading comes from another.
    void temperatureSensorVanishes()
    {
        QVERIFY(
            writeTree(roots().sys, {"class/hwmon/hwmon0/name=coretemp", "class/hwmon/hwmon0/temp1_label=Package id 0",
                                    "class/hwmon/hwmon0/temp1_input=48000", "class/thermal/thermal_zone0/type=acpitz",
                                    "class/thermal/thermal_zone0/temp=31000"}));
        CpuSampler sampler(roots());
        QCOMPARE(sampler.sample(0).temperature, 48);
        QVERIFY(QDir(roots().sys + "/class/hwmon/hwmon0").removeRecursively());
        QCOMPARE(sampler.sample(Second).temperature, 31);
        QVERIFY(messages.filter("temperature").isEmpty());
    }

    void load_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("expected");
        QTest::newRow("forty percent") << "cpu  100 0 50 800 50 0 0 0 0 0"
                                       << "cpu  160 0 70 900 70 0 0 0 0 0" << 40;
        QTest::newRow("a third rounds down") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                             << "cpu  100 0 0 200 0 0 0 0 0 0" << 33;
        QTest::newRow("two thirds round up") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                             << "cpu  150 0 50 100 0 0 0 0 0 0" << 67;
        QTest::newRow("waiting for disk is idle") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                                  << "cpu  50 0 0 25 25 0 0 0 0 0" << 50;
        QTest::newRow("interrupts and steal are busy") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                                       << "cpu  10 0 10 60 0 10 5 5 0 0" << 40;
        QTest::newRow("guest time is already in user") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                                       << "cpu  50 0 0 50 0 0 0 0 40 0" << 50;
        QTest::newRow("nice is busy") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                      << "cpu  0 30 0 70 0 0 0 0 0 0" << 30;
        QTest::newRow("all busy") << "cpu  10 0 0 90 0 0 0 0 0 0"
                                  << "cpu  110 0 0 90 0 0 0 0 0 0" << 100;
        QTest::newRow("counters did not move") << "cpu  10 0 0 90 0 0 0 0 0 0"
                                               << "cpu  10 0 0 90 0 0 0 0 0 0" << 0;
        QTest::newRow("old kernel, four fields") << "cpu  0 0 0 0"
                                                 << "cpu  20 0 5 75" << 25;
    }
    void load()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QVERIFY(writeTree(roots().proc, {"stat=" + first + "\ncpu0 1 2 3 4 5 6 7 8 9 10"}));
        CpuSampler sampler(roots());
        QCOMPARE(sampler.sample(0).load, 0); // one reading is no rate yet
        QVERIFY(writeTree(roots().proc, {"stat=" + second + "\ncpu0 1 2 3 4 5 6 7 8 9 10"}));
        QTEST(sampler.sample(Second).load, "expected");
    }

    // A counter step that cannot be measured keeps the last figure rather than dropping to 0.
    void loadKeptAcrossCounterReset()
    {
        QVERIFY(writeTree(roots().proc, {"stat=cpu  0 0 0 0 0 0 0 0 0 0"}));
        CpuSampler sampler(roots());
        sampler.sample(0);
        QVERIFY(writeTree(roots().proc, {"stat=cpu  60 0 0 40 0 0 0 0 0 0"}));
        QCOMPARE(sampler.sample(Second).load, 60);
        QVERIFY(writeTree(roots().proc, {"stat=cpu  5 0 0 5 0 0 0 0 0 0"}));
        QCOMPARE(sampler.sample(2 * Second).load, 60);
        QVERIFY(writeTree(roots().proc, {"stat=cpu  15 0 0 25 0 0 0 0 0 0"}));
        QCOMPARE(sampler.sample(3 * Second).load, 33);
    }

    void power_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("next");
        QTest::addColumn<qint64>("elapsedUs");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("expected");
        const QString rapl = "class/powercap/intel-rapl:0/";
        const QString range = rapl + "max_energy_range_uj=262143328850";
        QTest::newRow("RAPL over one second") << QStringList{range, rapl + "energy_uj=1000000"} << rapl + "energy_uj"
                                              << "36000000" << Second << 0 << 35;
        QTest::newRow("RAPL over two seconds, half a watt up")
            << QStringList{range, rapl + "energy_uj=1000000"} << rapl + "energy_uj"
            << "36000000" << 2 * Second << 0 << 18;
        QTest::newRow("RAPL a late tick") << QStringList{range, rapl + "energy_uj=1000000"} << rapl + "energy_uj"
                                          << "61000000" << qint64(1250000) << 0 << 48;
        QTest::newRow("RAPL counter wraps") << QStringList{range, rapl + "energy_uj=262138328850"} << rapl + "energy_uj"
                                            << "30000000" << Second << 0 << 35;
        QTest::newRow("RAPL counter goes back without a known range")
            << QStringList{rapl + "energy_uj=50000000"} << rapl + "energy_uj"
            << "1000000" << Second << 0 << 0;
        QTest::newRow("RAPL before a CPU hwmon sensor")
            << QStringList{range, rapl + "energy_uj=1000000", "class/hwmon/hwmon0/name=zenpower",
                           "class/hwmon/hwmon0/power1_input=90000000"}
            << rapl + "energy_uj"
            << "13000000" << Second << 0 << 12;
        QTest::newRow("zenpower core power in microwatts")
            << QStringList{"class/hwmon/hwmon2/name=zenpower", "class/hwmon/hwmon2/power1_input=45500000"}
            << "class/hwmon/hwmon2/power1_input"
            << "44400000" << Second << 46 << 44;
        QTest::newRow("fam15h average power")
            << QStringList{"class/hwmon/hwmon0/name=fam15h_power", "class/hwmon/hwmon0/power1_average=21000000"}
            << "class/hwmon/hwmon0/power1_average"
            << "21000000" << Second << 21 << 21;
        QTest::newRow("amd_energy socket counter, not a core's")
            << QStringList{"class/hwmon/hwmon0/name=amd_energy", "class/hwmon/hwmon0/energy1_label=Ecore000",
                           "class/hwmon/hwmon0/energy1_input=5000000", "class/hwmon/hwmon0/energy17_label=Esocket0",
                           "class/hwmon/hwmon0/energy17_input=100000000"}
            << "class/hwmon/hwmon0/energy17_input"
            << "165000000" << Second << 0 << 65;
        QTest::newRow("a GPU's power is not the CPU's")
            << QStringList{"class/hwmon/hwmon0/name=amdgpu", "class/hwmon/hwmon0/power1_average=120000000"}
            << "class/hwmon/hwmon0/power1_average"
            << "120000000" << Second << 0 << 0;
    }
    void power()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, counter);
        QFETCH(QString, next);
        QFETCH(qint64, elapsedUs);
        QVERIFY(writeTree(roots().sys, tree));
        CpuSampler sampler(roots());
        const qint64 start = 5 * Second;
        QTEST(sampler.sample(start).power, "first");
        QVERIFY(writeTree(roots().sys, {counter + "=" + next}));
        QTEST(sampler.sample(start + elapsedUs).power, "expected");
    }

    // Nothing to read: every figure is 0 and each is reported once, not once a second.
    void missingSensorsReportedOnce()
    {
        CpuSampler sampler(roots());
        for (int tick = 0; tick < 3; ++tick) {
            const CpuFigures figures = sampler.sample(tick * Second);
            QCOMPARE(figures.temperature, 0);
            QCOMPARE(figures.load, 0);
            QCOMPARE(figures.power, 0);
        }
        const QStringList expected{
            "GetCPUInfo: no CPU temperature sensor could be read; publishing 0.",
            "GetCPUInfo: the CPU counters in /proc/stat could not be read; publishing 0.",
            "GetCPUInfo: no CPU power or energy sensor could be read (the RAPL counter is often readable by root "
            "only); publishing 0."};
        QCOMPARE(messages, expected);
    }

    void unreadableFiguresAre0_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::newRow("temperature not a number")
            << QStringList{"sys/class/thermal/thermal_zone0/type=acpitz", "sys/class/thermal/thermal_zone0/temp=N/A"};
        QTest::newRow("stat without the cpu line") << QStringList{"proc/stat=intr 1 2 3"};
        QTest::newRow("stat cut short") << QStringList{"proc/stat=cpu  1 2 3"};
        QTest::newRow("stat with a word") << QStringList{"proc/stat=cpu  1 2 x 4 5 6 7 8 9 10"};
        QTest::newRow("negative energy") << QStringList{"sys/class/powercap/intel-rapl:0/energy_uj=-7"};
    }
    void unreadableFiguresAre0()
    {
        QFETCH(QStringList, tree);
        QVERIFY(writeTree(root_->path(), tree));
        CpuSampler sampler(roots());
        sampler.sample(0);
        const CpuFigures figures = sampler.sample(Second);
        QCOMPARE(figures.temperature, 0);
        QCOMPARE(figures.load, 0);
        QCOMPARE(figures.power, 0);
        QCOMPARE(messages.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSensors)
#include "test_sensors.moc"
