// SPDX-License-Identifier: GPL-3.0-or-later
#include "GetCPUInfo/sensors.h"
#include "GetCPUInfo/winfigures.h"
#include "logcapture.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

using namespace korvo;
using namespace korvo::sensors;

namespace {

constexpr qint64 Second = 1000000;
constexpr int U = metrics::UnavailableFigure;
const QString NoGpuSensor = "No GPU temperature sensor found: looked for amdgpu, radeon, nouveau, i915, xe; ";
const QString NoGpu = NoGpuSensor + "NVML not looked for";

// Lays out files under a root, each given as "relative/path=content", the way sysfs and procfs
// hold one value per file.
bool writeTree(const QString& root, const QStringList& files)
{
    for (const QString& entry : files) {
        QFile file(root + '/' + entry.section('=', 0, 0));
        if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly))
            return false;
        file.write(entry.section('=', 1).toUtf8() + '\n');
    }
    return true;
}

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

// CPU temperature, load and power, fan speed, GPU temperature and load.
QList<int> readWords()
{
    const metrics::CpuInfoBlock b = metrics::readCpuInfo();
    return {b.cpuTemperature, b.cpuLoad, b.cpuPower, b.fanSpeed, b.gpuTemperature, b.gpuLoad};
}

} // namespace

// GetCPUInfo's sensors on fake sysfs and procfs trees, and the built program on one, seen through
// the shared-memory reader.
class TestGetCpuInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir root_;
    QString sys_, proc_;
    std::optional<LogCapture> log_;
    QTemporaryDir tree_;
    QTemporaryDir runtime_; // private to the user, as the runtime folder must be
    QProcess sibling_;
    const QString siblingPath_ = qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/bin/GetCPUInfo";

private slots:
    void initTestCase()
    {
        sibling_.setProgram(siblingPath_);
        sibling_.setProcessChannelMode(QProcess::ForwardedChannels);
        const QByteArray tag = QByteArray::number(QCoreApplication::applicationPid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        qputenv("KORVO_CPUINFO_KEY", "KorvoTestGetCpuInfo-" + tag);
        qputenv("KORVO_INSTANCE_SUFFIX", "-test-" + tag);
        qputenv("KORVO_SYSFS_ROOT", (tree_.path() + "/sys").toUtf8());
        qputenv("KORVO_PROC_ROOT", (tree_.path() + "/proc").toUtf8());
        QVERIFY(
            writeTree(tree_.path() + "/sys", chip(0, "coretemp", {"temp1_label=Package id 0", "temp1_input=57000"}) +
                                                 chip(1, "amdgpu", {"temp1_input=45000", "device/gpu_busy_percent=9"}) +
                                                 chip(2, "nct6775", {"fan1_input=700"})));
        QVERIFY(writeTree(tree_.path(), {"proc/stat=cpu  100 0 50 850"}));
    }
    void cleanupTestCase()
    {
        metrics::detachCpuInfoMemory();
        sibling_.kill();
        sibling_.waitForFinished(5000);
    }

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
        const QString rapl = "class/powercap/intel-rapl:0/";
        const QString range = rapl + "max_energy_range_uj=262143328850";
        QTest::newRow("Intel package, not a core nor a zone; RAPL before a CPU hwmon sensor")
            << intel + QStringList{range, rapl + "energy_uj=1000000"} + chip(5, "zenpower", {"power1_input=90000000"})
            << QStringList{rapl + "energy_uj=36000000"} << 48 << 28;
        QTest::newRow("a zone once the chip's driver goes; RAPL counter wraps")
            << intel + QStringList{range, rapl + "energy_uj=262138328850"}
            << QStringList{"class/hwmon/hwmon0", rapl + "energy_uj=30000000"} << 31 << 28;
        QTest::newRow("AMD die before control; amd_energy's socket counter, not a core's")
            << chip(1, "k10temp", {"temp1_label=Tctl", "temp1_input=75250", "temp2_label=Tdie", "temp2_input=48250"}) +
                   chip(0, "amd_energy",
                        {"energy1_label=Ecore000", "energy1_input=5000000", "energy17_label=Esocket0",
                         "energy17_input=100000000"})
            << QStringList{"class/hwmon/hwmon0/energy17_input=165000000"} << 48 << 52;
        QTest::newRow("AMD control alone; RAPL counter goes back without a known range")
            << chip(1, "k10temp", {"temp1_label=Tctl", "temp1_input=75250"}) + QStringList{rapl + "energy_uj=50000000"}
            << QStringList{rapl + "energy_uj=1000000"} << 75 << U;
        QTest::newRow("zenpower: half a degree rounds up, core power in microwatts")
            << chip(2, "zenpower", {"temp1_label=Tdie", "temp1_input=61500", "power1_input=45500000"})
            << QStringList{"class/hwmon/hwmon2/power1_input=44400000"} << 62 << 44;
        QTest::newRow("package zone when no chip is known; a GPU's power is not the CPU's")
            << chip(0, "nvme", {"temp1_label=Composite", "temp1_input=40000"}) + zone(0, "acpitz", 27800) +
                   zone(1, "x86_pkg_temp", 52000) + chip(1, "amdgpu", {"power1_average=120000000"})
            << QStringList() << 52 << U;
        QTest::newRow("first zone in numeric order, below zero")
            << zone(10, "pch", 45000) + zone(2, "acpitz", -5000) << QStringList() << -5 << U;
        QTest::newRow("151 degrees, 1001 W")
            << zone(0, "acpitz", 151000) + chip(0, "zenpower", {"power1_input=1001000000"}) << QStringList() << U << U;
        QTest::newRow("temperature not a number, negative energy")
            << QStringList{"class/thermal/thermal_zone0/type=acpitz", "class/thermal/thermal_zone0/temp=N/A",
                           rapl + "energy_uj=-1250007"}
            << QStringList{rapl + "energy_uj=-7"} << U << U;
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
        // What cannot be read is published as unavailable and reported once, not once a second.
        QCOMPARE(LogCapture::lines.filter("CPU temperature unavailable").size(), figures.temperature == U ? 1 : 0);
    }

    // Successive /proc/stat first lines and the load read after each (the first is no rate yet).
    void load_data()
    {
        QTest::addColumn<QStringList>("stats");
        QTest::addColumn<QList<int>>("expected");
        // user nice system idle iowait irq softirq steal guest guest_nice: waiting for the disk is
        // idle, guest time is already in user.
        QTest::newRow("every field in its place")
            << QStringList{"cpu  0 0 0 0 0 0 0 0 0 0", "cpu  10 20 10 40 20 5 5 10 30 7"} << QList<int>{U, 50};
        // A step back (a CPU taken offline) keeps the last figure rather than dropping to 0.
        QTest::newRow("step back, then two thirds round up")
            << QStringList{"cpu  0 0 0 0", "cpu  60 0 0 40", "cpu  5 0 0 5", "cpu  25 0 0 15"}
            << QList<int>{U, 60, 60, 67};
        // iowait going back makes busy grow by 300 % of the whole: no figure, not 300.
        QTest::newRow("iowait goes back")
            << QStringList{"cpu  0 0 0 0 0", "cpu  100 0 0 0 300", "cpu  400 0 0 0 100"} << QList<int>{U, 25, U};
        QTest::newRow("no cpu line") << QStringList{"intr 1 2 3 4", "intr 9 9 9 9"} << QList<int>{U, U};
        QTest::newRow("cut short") << QStringList{"cpu  1 2 3", "cpu  9 9 9"} << QList<int>{U, U};
        QTest::newRow("a word") << QStringList{"cpu  1 2 x 4", "cpu  5 6 x 8"} << QList<int>{U, U};
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

    // The fan and the GPU on trees of real machines: a reading and where it came from, or why
    // there is none. NVML is not looked for here.
    void fanAndGpu_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QList<int>>("expected"); // fan, GPU temperature, GPU load
        QTest::addColumn<QStringList>("sources");
        const QString noFan = "No fan speed sensor found: no CPU or board sensor chip reports a turning fan";
        QTest::newRow("amdgpu: edge, not junction, and its busy percent; its fan is not the figure")
            << chip(1, "amdgpu",
                    {"temp1_label=junction", "temp1_input=61000", "temp2_label=edge", "temp2_input=53600",
                     "fan1_input=2100", "device/gpu_busy_percent=37"})
            << QList<int>{U, 54, 37}
            << QStringList{noFan, "hwmon1 amdgpu temp2_input (edge)", "hwmon1 amdgpu device/gpu_busy_percent"};
        QTest::newRow("board chip: the CPU's fan before an earlier one, a stopped one skipped")
            << chip(0, "k10temp", {"temp1_label=Tctl", "temp1_input=40000"}) +
                   chip(2, "nct6775",
                        {"fan1_input=0", "fan1_label=CPU_OPT", "fan2_input=870", "fan2_label=SYS_FAN1",
                         "fan10_input=1250", "fan10_label=CPU_FAN"})
            << QList<int>{1250, U, U} << QStringList{"hwmon2 nct6775 fan10_input (CPU_FAN)", NoGpu, NoGpu};
        QTest::newRow("board chip: the first turning fan when none is the CPU's")
            << chip(3, "it8686", {"fan1_input=0", "fan2_input=812", "fan3_input=640"}) << QList<int>{812, U, U}
            << QStringList{"hwmon3 it8686 fan2_input", NoGpu, NoGpu};
        QTest::newRow("Intel GPU: a temperature and no load")
            << chip(4, "xe", {"temp2_label=pkg", "temp2_input=47000", "energy1_input=1000"}) << QList<int>{U, 47, U}
            << QStringList{noFan, "hwmon4 xe temp2_input (pkg)", "No GPU load: hwmon4 xe reports none"};
        QTest::newRow("several GPUs: the first with a temperature")
            << chip(0, "i915", {"power1_max=25000000"}) + chip(1, "amdgpu", {"temp1_input=70000"}) +
                   chip(2, "amdgpu", {"temp1_input=60000", "device/gpu_busy_percent=5"})
            << QList<int>{U, 70, U}
            << QStringList{noFan, "hwmon1 amdgpu temp1_input", "No GPU load: hwmon1 amdgpu reports none"};
        QTest::newRow("GPU readings beyond what a GPU can have")
            << chip(1, "amdgpu", {"temp1_input=151000", "device/gpu_busy_percent=101"}) << QList<int>{U, U, U}
            << QStringList{noFan, "hwmon1 amdgpu temp1_input gave no plausible reading",
                           "hwmon1 amdgpu device/gpu_busy_percent gave no plausible load"};
    }
    void fanAndGpu()
    {
        QFETCH(QStringList, tree);
        QVERIFY(writeTree(sys_, tree));
        CpuSampler sampler({sys_, proc_});
        const auto read = [&sampler] {
            const CpuFigures f = sampler.sample(Second);
            return QList<int>{f.fanSpeed, f.gpuTemperature, f.gpuLoad};
        };
        QTEST(read(), "expected");
        QTEST((QStringList{sampler.source(Figure::FanSpeed), sampler.source(Figure::GpuTemperature),
                           sampler.source(Figure::GpuLoad)}),
              "sources");
        // A GPU reset or a driver reload takes the files away for a moment: unavailable meanwhile,
        // said once, then the same sensors again.
        QVERIFY(QDir(sys_ + "/class/hwmon").removeRecursively());
        QCOMPARE(read(), (QList<int>{U, U, U}));
        QCOMPARE(read(), (QList<int>{U, U, U}));
        QVERIFY(writeTree(sys_, tree));
        QTEST(read(), "expected"); // the values tell which sensors were taken again
        QCOMPARE(LogCapture::lines.filter("GPU temperature unavailable").size(), 1);
    }

    // NVIDIA's driver has no hwmon: NVML, loaded from a fake library. "gpus" is what its GPUs
    // answer (see fakenvml.c); the sampler reads three times.
    void nvml_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("gpus");
        QTest::addColumn<QList<int>>("expected"); // GPU temperature, load; starts of the library
        QTest::addColumn<QString>("source");
        QTest::newRow("the first GPU with a temperature, without a load")
            << QStringList() << "-/7,65/-,70/90" << QList<int>{65, U, 1} << "NVML GPU 1";
        QTest::newRow("driver mismatch: started once, never again")
            << QStringList() << "fail" << QList<int>{U, U, 1} << NoGpuSensor + "NVML did not start (Driver Not Loaded)";
        QTest::newRow("no NVIDIA GPU") << QStringList() << "" << QList<int>{U, U, 1}
                                       << NoGpuSensor + "NVML has no GPU with a temperature";
        QTest::newRow("hwmon's GPU first, NVML not loaded")
            << chip(0, "amdgpu", {"temp1_input=44000", "device/gpu_busy_percent=3"}) << "70/90" << QList<int>{44, 3, 0}
            << "hwmon0 amdgpu temp1_input";
    }
    void nvml()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, gpus);
        QVERIFY(writeTree(sys_, tree));
        qputenv("FAKE_NVML", gpus.toUtf8());
        QLibrary library(FAKE_NVML_LIBRARY);
        QVERIFY(library.load());
        int* const starts = reinterpret_cast<int*>(library.resolve("fakeNvmlInitCalls"));
        QVERIFY(starts);
        const int startsBefore = *starts;
        CpuFigures figures;
        {
            CpuSampler sampler({sys_, proc_, FAKE_NVML_LIBRARY});
            for (int i = 0; i < 3; ++i)
                figures = sampler.sample(i * Second);
            QTEST(sampler.source(Figure::GpuTemperature), "source");
        }
        QTEST((QList<int>{figures.gpuTemperature, figures.gpuLoad, *starts - startsBefore}), "expected");
        QCOMPARE(LogCapture::lines.filter("GPU temperature unavailable").size(), figures.gpuTemperature == U ? 1 : 0);
    }

    // korvo-tftctl figures reads the same sensors as the program, through the same roots.
    void tftctlFigures()
    {
        QVERIFY(writeTree(sys_, chip(0, "coretemp", {"temp1_label=Package id 0", "temp1_input=48000"}) +
                                    chip(1, "nct6775", {"fan2_label=CPU_FAN", "fan2_input=1000"})));
        QVERIFY(writeTree(proc_, {"stat=cpu  10 0 10 80", "meminfo=MemTotal: 8000 kB\nMemAvailable: 2000 kB"}));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KORVO_SYSFS_ROOT", sys_);
        environment.insert("KORVO_PROC_ROOT", proc_);
        environment.insert("KORVO_NVML_LIBRARY", FAKE_NVML_LIBRARY);
        environment.insert("FAKE_NVML", "61/7");
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl", {"figures", "--json"});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QJsonObject figures = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        QCOMPARE(figures.take("time").toObject().value("source").toString(), QString("local clock"));
        QCOMPARE(figures.take("date").toObject().value("available").toBool(), true);
        const auto figure = [](const char* text, bool available, const QString& source) {
            return QJsonObject{{"text", QString::fromUtf8(text)}, {"available", available}, {"source", source}};
        };
        const QString noPower =
            "No CPU power or energy sensor could be read (the RAPL counter is often readable by root only)";
        // The load stood still between the two readings: no rate.
        const QJsonObject expected{
            {"cpu-temperature", figure("48℃", true, "hwmon0 coretemp temp1_input (Package id 0)")},
            {"cpu-load", figure("--%", false, proc_ + "/stat")},
            {"memory-load", figure("75%", true, proc_ + "/meminfo")},
            {"cpu-power", figure("--w", false, noPower)},
            {"fan-speed", figure("1000", true, "hwmon1 nct6775 fan2_input (CPU_FAN)")},
            {"gpu-temperature", figure("61℃", true, "NVML GPU 0")},
            {"gpu-load", figure("7%", true, "NVML GPU 0")}};
        QCOMPARE(figures, expected);
        // What the window's tick boxes say of the same machine, without NVML: a rate that was only
        // primed is not missing.
        QCOMPARE(korvo::sensors::missingFigures({sys_, proc_}),
                 (std::array<QString, FigureCount>{QString(), QString(), noPower, QString(), NoGpu, NoGpu}));
        QCOMPARE(LogCapture::lines, QStringList());
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
        QTest::newRow("no time passed") << load({10, 20, 30}, {10, 20, 30}) << -1000;
        QTest::newRow("user went back") << load({100, 200, 60}, {150, 300, 50}) << -1000;
        QTest::newRow("more idle than kernel") << load({0, 0, 0}, {600, 500, 100}) << -1000;
        QTest::newRow("40.55 °C rounds up") << celsius(3137) << 41;
        QTest::newRow("-39.95 °C rounds down") << celsius(2332) << -40;
        QTest::newRow("151 °C, beyond any CPU") << celsius(4242) << -1000;
    }
    void windowsFigures()
    {
        QFETCH(int, figure);
        QTEST(figure, "expected");
    }

    // It makes the segment and publishes its first reading before it answers.
    void answersAndPublishes()
    {
        QVERIFY(!platform::siblingRunning());
        sibling_.start();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        QVERIFY(metrics::attachCpuInfoMemory());
        QCOMPARE(readWords(), (QList<int>{57, U, U, 700, 45, 9})); // one /proc/stat reading is no rate yet
        QVERIFY(writeTree(tree_.path(), {"sys/class/hwmon/hwmon0/temp1_input=61000", "proc/stat=cpu  160 0 70 970"}));
        QTRY_COMPARE_WITH_TIMEOUT(readWords(), (QList<int>{61, 40, U, 700, 45, 9}), 5000);
        // Every publish moves the heartbeat on, so the program can tell it still runs.
        const uint32_t beat = metrics::readCpuInfoHeartbeat();
        QTRY_VERIFY_WITH_TIMEOUT(metrics::readCpuInfoHeartbeat() != beat, 5000);
    }

    // Ended from outside or asked to (after clients with an endless line or unread answers were
    // dropped, or those beyond its descriptors turned away), it leaves nothing in the next copy's way.
    void ends_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("clients");
        QTest::newRow("SIGTERM") << SIGTERM << QByteArray() << 0;
        QTest::newRow("line without end") << 0 << QByteArray(1 << 20, 'x') << 1;
        QTest::newRow("answers never read") << 0 << QByteArray("ping\n").repeated(1 << 18) << 1;
        QTest::newRow("more clients than descriptors") << 0 << QByteArray() << 12;
    }
    void ends()
    {
        QFETCH(int, signal);
        QFETCH(QByteArray, request);
        QFETCH(int, clients);
        metrics::detachCpuInfoMemory();
        // A killed copy leaves its socket file and lock behind; the next one starts anyway.
        sibling_.kill();
        sibling_.waitForFinished(5000);
        // 16 descriptors: its own (event loop, lock, socket) and a few to spare.
        sibling_.start("prlimit", {"--nofile=16", siblingPath_});
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        std::vector<QLocalSocket> sockets(static_cast<size_t>(clients));
        for (QLocalSocket& socket : sockets) {
            socket.setReadBufferSize(1);
            socket.connectToServer(platform::siblingServerName());
            QVERIFY(socket.waitForConnected(1000));
            socket.write(request);
        }
        const auto dropped = [](const QLocalSocket& s) { return s.state() == QLocalSocket::UnconnectedState; };
        // Well before the five seconds after which any client is dropped.
        QTRY_VERIFY_WITH_TIMEOUT(sockets.empty() || std::any_of(sockets.begin(), sockets.end(), dropped), 3000);
        sockets.clear();
        QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        QProcess second; // one copy per user: a second one leaves at once
        second.start(siblingPath_, QStringList());
        QVERIFY(second.waitForFinished(5000) && second.exitCode() == 0);
        if (signal)
            QCOMPARE(::kill(pid_t(sibling_.processId()), signal), 0);
        else
            platform::closeSibling();
        QVERIFY(sibling_.waitForFinished(5000));
        QCOMPARE(sibling_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sibling_.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(platform::siblingServerName()));
        QVERIFY(!metrics::attachCpuInfoMemory()); // the segment is gone
    }

    // A flood of short connections leaves GetCPUInfo's memory where it was.
    void floodLeavesMemoryFlat()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer keeps freed memory in quarantine");
#endif
        if (!platform::siblingRunning()) {
            sibling_.start(siblingPath_, QStringList());
            QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 5000);
        }
        const auto residentKiB = [this] {
            QFile status(QString("/proc/%1/status").arg(sibling_.processId()));
            status.open(QIODevice::ReadOnly);
            const QByteArray text = status.readAll();
            return text.mid(text.indexOf("VmRSS:") + 6).trimmed().split(' ').value(0).toLong();
        };
        const long before = residentKiB();
        for (int n = 0; n < 20000; ++n)
            QVERIFY(platform::siblingRunning());
        QVERIFY2(residentKiB() - before < 4096, qPrintable(QString("%1 KiB -> %2 KiB").arg(before).arg(residentKiB())));
    }

    // Two ordinary users each get a copy that publishes (root could open any segment).
    void twoUsersEachHaveTheirOwn()
    {
        if (geteuid() != 0)
            QSKIP("starting copies as two other users needs root");
        QTemporaryDir users;
        QVERIFY(::chmod(QFile::encodeName(users.path()), 0711) == 0 &&
                ::chmod(QFile::encodeName(tree_.path()), 0755) == 0);
        QProcess copies[2];
        for (int i = 0; i < 2; ++i) {
            const QByteArray uid = QByteArray::number(65534 - i), runtime = QFile::encodeName(users.path()) + '/' + uid;
            QVERIFY(::mkdir(runtime, 0700) == 0 && ::chown(runtime, uid.toUInt(), uid.toUInt()) == 0);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_RUNTIME_DIR", runtime);
            copies[i].setProcessEnvironment(environment);
            copies[i].setProcessChannelMode(QProcess::ForwardedChannels);
            copies[i].start("setpriv", {"--reuid=" + uid, "--regid=" + uid, "--clear-groups", siblingPath_});
            // A copy listens only once it holds its segment.
            const QString socket = runtime + "/GetCPUInfo" + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX");
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) || copies[i].state() == QProcess::NotRunning, 5000);
            QVERIFY2(copies[i].state() == QProcess::Running, "a second user's copy could not publish");
        }
        for (QProcess& copy : copies) {
            QCOMPARE(::kill(pid_t(copy.processId()), SIGTERM), 0);
            QVERIFY(copy.waitForFinished(5000));
            QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy.exitCode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestGetCpuInfo)
#include "test_getcpuinfo.moc"
