#include "GetCPUInfo/sensors.h"
#include "GetCPUInfo/winfigures.h"
#include "faketree.h"
#include "logcapture.h"

#include <QtTest>

#include <optional>

using namespace korvo::sensors;

namespace {

constexpr qint64 Second = 1000000;

QStringList chip(int number, const QString& name, QStringList files)
{
    const QString folder = QString("class/hwmon/hwmon%1/").arg(number);
    for (QString& file : files)
        file.prepend(folder);
    return files << folder + "name=" + name;
}

QStringList zone(int number, const QString& type, int milliDegrees)
{
    const QString folder = QString("class/thermal/thermal_zone%1/").arg(number);
    return {folder + "type=" + type, folder + "temp=" + QString::number(milliDegrees)};
}

} // namespace

class TestSensors : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir root_;
    QString sys_, proc_;
    std::optional<LogCapture> log_;

private slots:
    void init()
    {
        static int row = 0; // a fresh tree for every row
        const QString tree = root_.path() + '/' + QString::number(++row);
        sys_ = tree + "/sys";
        proc_ = tree + "/proc";
        log_.emplace();
    }

    // Two readings 1.25 s apart, files written or (a path alone) folders removed in between.
    // Energy counters give watts over that time; a power sensor is read as is.
    void figures_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("later");
        QTest::addColumn<int>("temperature");
        QTest::addColumn<int>("power");
        const QStringList intel =
            chip(0, "coretemp",
                 {"temp1_label=Core 0", "temp1_input=55000", "temp2_label=Package id 0", "temp2_input=48000"}) +
            zone(0, "acpitz", 31000);
        QTest::newRow("Intel package, not a core nor a zone") << intel << QStringList() << 48 << 0;
        QTest::newRow("a zone once the chip's driver goes") << intel << QStringList{"class/hwmon/hwmon0"} << 31 << 0;
        QTest::newRow("AMD die before control")
            << chip(1, "k10temp", {"temp1_label=Tctl", "temp1_input=75250", "temp2_label=Tdie", "temp2_input=48250"})
            << QStringList() << 48 << 0;
        QTest::newRow("AMD control alone")
            << chip(1, "k10temp", {"temp1_label=Tctl", "temp1_input=75250"}) << QStringList() << 75 << 0;
        QTest::newRow("zenpower, half a degree rounds up")
            << chip(3, "zenpower", {"temp1_label=Tdie", "temp1_input=61500"}) << QStringList() << 62 << 0;
        QTest::newRow("package zone when no chip is known")
            << chip(0, "nvme", {"temp1_label=Composite", "temp1_input=40000"}) + zone(0, "acpitz", 27800) +
                   zone(1, "x86_pkg_temp", 52000)
            << QStringList() << 52 << 0;
        QTest::newRow("first zone in numeric order, below zero")
            << zone(10, "pch", 45000) + zone(2, "acpitz", -5000) << QStringList() << -5 << 0;
        const QString rapl = "class/powercap/intel-rapl:0/";
        const QString range = rapl + "max_energy_range_uj=262143328850";
        QTest::newRow("RAPL before a CPU hwmon sensor")
            << QStringList{range, rapl + "energy_uj=1000000"} + chip(0, "zenpower", {"power1_input=90000000"})
            << QStringList{rapl + "energy_uj=36000000"} << 0 << 28;
        QTest::newRow("RAPL counter wraps") << QStringList{range, rapl + "energy_uj=262138328850"}
                                            << QStringList{rapl + "energy_uj=30000000"} << 0 << 28;
        QTest::newRow("RAPL counter goes back without a known range")
            << QStringList{rapl + "energy_uj=50000000"} << QStringList{rapl + "energy_uj=1000000"} << 0 << 0;
        QTest::newRow("zenpower core power in microwatts")
            << chip(2, "zenpower", {"power1_input=45500000"}) << QStringList{"class/hwmon/hwmon2/power1_input=44400000"}
            << 0 << 44;
        QTest::newRow("amd_energy socket counter, not a core's")
            << chip(0, "amd_energy",
                    {"energy1_label=Ecore000", "energy1_input=5000000", "energy17_label=Esocket0",
                     "energy17_input=100000000"})
            << QStringList{"class/hwmon/hwmon0/energy17_input=165000000"} << 0 << 52;
        QTest::newRow("a GPU's power is not the CPU's")
            << chip(0, "amdgpu", {"power1_average=120000000"}) << QStringList() << 0 << 0;
        QTest::newRow("temperature not a number")
            << QStringList{"class/thermal/thermal_zone0/type=acpitz", "class/thermal/thermal_zone0/temp=N/A"}
            << QStringList() << 0 << 0;
        QTest::newRow("151 degrees") << zone(0, "acpitz", 151000) << QStringList() << 0 << 0;
        QTest::newRow("1001 W") << chip(0, "zenpower", {"power1_input=1001000000"}) << QStringList() << 0 << 0;
        QTest::newRow("negative energy") << QStringList{rapl + "energy_uj=-1250007"}
                                         << QStringList{rapl + "energy_uj=-7"} << 0 << 0;
    }
    void figures()
    {
        QFETCH(QStringList, tree);
        QFETCH(QStringList, later);
        QVERIFY(writeTree(sys_, tree));
        CpuSampler sampler({sys_, proc_});
        sampler.sample(5 * Second);
        for (const QString& entry : later)
            QVERIFY(entry.contains('=') ? writeTree(sys_, {entry}) : QDir(sys_ + '/' + entry).removeRecursively());
        const CpuFigures figures = sampler.sample(5 * Second + 1250000);
        QTEST(figures.temperature, "temperature");
        QTEST(figures.power, "power");
        // What cannot be read is published as 0 and reported once, not once a second.
        QCOMPARE(LogCapture::lines.filter("temperature").size(), figures.temperature ? 0 : 1);
    }

    // Successive /proc/stat first lines and the load read after each (the first is no rate yet).
    void load_data()
    {
        QTest::addColumn<QStringList>("stats");
        QTest::addColumn<QList<int>>("expected");
        // user nice system idle iowait irq softirq steal guest guest_nice: waiting for the disk is
        // idle, guest time is already in user.
        QTest::newRow("every field in its place")
            << QStringList{"cpu  0 0 0 0 0 0 0 0 0 0", "cpu  10 20 10 40 20 5 5 10 30 7"} << QList<int>{0, 50};
        // A step back (a CPU taken offline) keeps the last figure rather than dropping to 0.
        QTest::newRow("step back, then two thirds round up")
            << QStringList{"cpu  0 0 0 0", "cpu  60 0 0 40", "cpu  5 0 0 5", "cpu  25 0 0 15"}
            << QList<int>{0, 60, 60, 67};
        // iowait going back makes busy grow by 300 % of the whole: no figure, not 300.
        QTest::newRow("iowait goes back")
            << QStringList{"cpu  0 0 0 0 0", "cpu  100 0 0 0 300", "cpu  400 0 0 0 100"} << QList<int>{0, 25, 0};
        QTest::newRow("no cpu line") << QStringList{"intr 1 2 3 4", "intr 9 9 9 9"} << QList<int>{0, 0};
        QTest::newRow("cut short") << QStringList{"cpu  1 2 3", "cpu  9 9 9"} << QList<int>{0, 0};
        QTest::newRow("a word") << QStringList{"cpu  1 2 x 4", "cpu  5 6 x 8"} << QList<int>{0, 0};
    }
    void load()
    {
        QFETCH(QStringList, stats);
        CpuSampler sampler({sys_, proc_});
        QList<int> loads;
        for (const QString& stat : stats) {
            QVERIFY(writeTree(proc_, {"stat=" + stat + "\ncpu0 1 2 3 4 5 6 7 8 9 10"}));
            loads << sampler.sample(loads.size() * Second).load;
        }
        QTEST(loads, "expected");
    }

    // Windows' figures: the load between two readings of idle, kernel (idle included) and user
    // time, the temperature from tenths of a kelvin.
    void windowsFigures_data()
    {
        QTest::addColumn<int>("figure"); // -1000: nothing
        QTest::addColumn<int>("expected");
        const auto load = [](SystemTimes earlier, SystemTimes later) {
            return loadBetween(earlier, later).value_or(-1000);
        };
        const auto celsius = [](uint deciKelvin) { return celsiusFromDeciKelvin(deciKelvin).value_or(-1000); };
        QTest::newRow("62.5 % rounds up") << load({0, 0, 0}, {3, 6, 2}) << 63;
        QTest::newRow("16 CPUs, a year up") << load({900000000000000, 1200000000000000, 400000000000000},
                                                    {900000120000000, 1200000140000000, 400000020000000})
                                            << 25;
        QTest::newRow("no time passed") << load({10, 20, 30}, {10, 20, 30}) << -1000;
        QTest::newRow("idle went back") << load({100, 200, 0}, {90, 300, 50}) << -1000;
        QTest::newRow("user went back") << load({100, 200, 60}, {150, 300, 50}) << -1000;
        QTest::newRow("more idle than kernel") << load({0, 0, 0}, {600, 500, 100}) << -1000;
        QTest::newRow("40.55 °C rounds up") << celsius(3137) << 41;
        QTest::newRow("-39.95 °C rounds down") << celsius(2332) << -40;
        QTest::newRow("150 °C, the hottest") << celsius(4232) << 150;
        QTest::newRow("151 °C") << celsius(4242) << -1000;
        QTest::newRow("-43 °C") << celsius(2300) << -1000;
    }
    void windowsFigures()
    {
        QFETCH(int, figure);
        QTEST(figure, "expected");
    }
};

QTEST_GUILESS_MAIN(TestSensors)
#include "test_sensors.moc"
