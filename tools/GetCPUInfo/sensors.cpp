#include "GetCPUInfo/sensors.h"
#include "metrics/cpuinfo.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace korvo::sensors {
namespace {

// sysfs and procfs files report a size of 0, so they are read to a bound rather than to size().
std::optional<QByteArray> readFirstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = file.readLine(4096);
    if (line.isEmpty())
        return std::nullopt;
    return line.trimmed();
}

std::optional<qint64> readInteger(const QString& path)
{
    const std::optional<QByteArray> text = readFirstLine(path);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 value = text->toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

// A measurement rounded to whole units, or nothing when it is not a figure the CPU can have:
// a broken sensor or a counter that went backwards must not reach the screen.
std::optional<int> plausibleFigure(double value, bool (*plausible)(int))
{
    if (!(std::fabs(value) < 1e6)) // also NaN; keeps the rounding within int
        return std::nullopt;
    const int whole = int(std::lround(value));
    return plausible(whole) ? std::optional<int>(whole) : std::nullopt;
}

// Entries named prefix0, prefix1, ... in numeric order (hwmon10 after hwmon2).
QStringList numberedEntries(const QString& folder, const QString& prefix)
{
    QStringList names = QDir(folder).entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), [&prefix](const QString& a, const QString& b) {
        return a.mid(prefix.size()).toInt() < b.mid(prefix.size()).toInt();
    });
    for (QString& name : names)
        name = folder + QLatin1Char('/') + name;
    return names;
}

QStringList hwmonFolders(const QString& sysRoot)
{
    return numberedEntries(sysRoot + QStringLiteral("/class/hwmon"), QStringLiteral("hwmon"));
}

QByteArray chipName(const QString& hwmonFolder)
{
    return readFirstLine(hwmonFolder + QStringLiteral("/name")).value_or(QByteArray());
}

// The CPU's own sensor, best first: Intel's package, then AMD's die and control temperatures
// (Tctl may carry an offset on some parts, so the die reading wins where both exist).
struct ChipLabel
{
    const char* chip;
    const char* label;
};
constexpr ChipLabel TemperaturePreference[] = {
    {"coretemp", "Package id 0"}, {"k10temp", "Tdie"}, {"k10temp", "Tctl"}, {"zenpower", "Tdie"}, {"zenpower", "Tctl"},
};

QString findHwmonTemperature(const QString& sysRoot)
{
    constexpr int Ranks = int(std::size(TemperaturePreference));
    int bestRank = Ranks;
    QString bestFile;
    for (const QString& folder : hwmonFolders(sysRoot)) {
        const QByteArray chip = chipName(folder);
        const QStringList labels = QDir(folder).entryList({QStringLiteral("temp*_label")}, QDir::Files, QDir::Name);
        for (const QString& labelName : labels) {
            const QByteArray label = readFirstLine(folder + QLatin1Char('/') + labelName).value_or(QByteArray());
            for (int rank = 0; rank < bestRank; ++rank) {
                if (chip == TemperaturePreference[rank].chip && label == TemperaturePreference[rank].label) {
                    bestRank = rank;
                    bestFile = folder + QLatin1Char('/') +
                               QString(labelName).replace(QLatin1String("_label"), QLatin1String("_input"));
                }
            }
        }
    }
    return bestFile;
}

// The last resort: the package zone where the platform has one, else the first zone that reads.
QString findThermalZone(const QString& sysRoot)
{
    QString firstReadable;
    for (const QString& zone :
         numberedEntries(sysRoot + QStringLiteral("/class/thermal"), QStringLiteral("thermal_zone"))) {
        const QString input = zone + QStringLiteral("/temp");
        if (!readInteger(input))
            continue;
        if (readFirstLine(zone + QStringLiteral("/type")).value_or(QByteArray()) == "x86_pkg_temp")
            return input;
        if (firstReadable.isEmpty())
            firstReadable = input;
    }
    return firstReadable;
}

// hwmon drivers whose power or energy figure is the CPU's (a GPU's power1_average is not).
bool isCpuPowerChip(const QByteArray& chip)
{
    return chip == "zenpower" || chip == "fam15h_power" || chip == "amd_energy";
}

// amd_energy has one counter per core and one per socket; the socket's is the CPU's power.
QString socketEnergyFile(const QString& folder)
{
    const QStringList labels = QDir(folder).entryList({QStringLiteral("energy*_label")}, QDir::Files, QDir::Name);
    for (const QString& labelName : labels) {
        if (readFirstLine(folder + QLatin1Char('/') + labelName).value_or(QByteArray()).startsWith("Esocket"))
            return folder + QLatin1Char('/') +
                   QString(labelName).replace(QLatin1String("_label"), QLatin1String("_input"));
    }
    return folder + QStringLiteral("/energy1_input");
}

} // namespace

SensorRoots SensorRoots::fromEnvironment()
{
    SensorRoots roots{qEnvironmentVariable("KORVO_SYSFS_ROOT"), qEnvironmentVariable("KORVO_PROC_ROOT")};
    if (roots.sys.isEmpty())
        roots.sys = QStringLiteral("/sys");
    if (roots.proc.isEmpty())
        roots.proc = QStringLiteral("/proc");
    return roots;
}

CpuSampler::CpuSampler(SensorRoots roots) : roots_(std::move(roots)) {}

CpuFigures CpuSampler::sample(qint64 nowUs)
{
    CpuFigures figures;
    const std::optional<int> temperature = readTemperature();
    if (!temperature)
        reportOnce(temperatureReported_,
                   "GetCPUInfo: no CPU temperature sensor gave a plausible reading; publishing 0.");
    figures.temperature = temperature.value_or(0);

    const std::optional<int> load = readLoad();
    if (!load)
        reportOnce(loadReported_, "GetCPUInfo: the CPU counters in /proc/stat gave no plausible load; publishing 0.");
    figures.load = load.value_or(0);

    const std::optional<int> power = readPower(nowUs);
    if (!power)
        reportOnce(powerReported_, "GetCPUInfo: no CPU power or energy sensor could be read (the RAPL counter is "
                                   "often readable by root only); publishing 0.");
    figures.power = power.value_or(0);

    last_ = figures;
    return figures;
}

std::optional<int> CpuSampler::readTemperature()
{
    // A sensor can vanish with its driver; look for another before giving up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (temperatureFile_.isEmpty()) {
            temperatureFile_ = findHwmonTemperature(roots_.sys);
            if (temperatureFile_.isEmpty())
                temperatureFile_ = findThermalZone(roots_.sys);
            if (temperatureFile_.isEmpty())
                return std::nullopt;
        }
        if (const std::optional<qint64> milli = readInteger(temperatureFile_))
            return plausibleFigure(double(*milli) / 1000.0, metrics::isPlausibleTemperature);
        temperatureFile_.clear();
    }
    return std::nullopt;
}

std::optional<int> CpuSampler::readLoad()
{
    const std::optional<QByteArray> line = readFirstLine(roots_.proc + QStringLiteral("/stat"));
    if (!line || !line->startsWith("cpu "))
        return std::nullopt;
    // user nice system idle iowait irq softirq steal; guest time is already counted in user.
    const QList<QByteArray> words = line->simplified().split(' ');
    const int fields = std::min(int(words.size()) - 1, 8);
    if (fields < 4)
        return std::nullopt;
    quint64 total = 0;
    quint64 idle = 0;
    for (int i = 0; i < fields; ++i) {
        bool ok = false;
        const quint64 ticks = words[i + 1].toULongLong(&ok);
        if (!ok)
            return std::nullopt;
        total += ticks;
        if (i == 3 || i == 4) // idle and iowait
            idle += ticks;
    }
    const quint64 busy = total - idle;
    const bool primed = haveStat_;
    const quint64 lastBusy = lastBusy_;
    const quint64 lastTotal = lastTotal_;
    haveStat_ = true;
    lastBusy_ = busy;
    lastTotal_ = total;
    if (!primed)
        return 0;
    // Counters that went back (a CPU taken offline) or did not move give no rate this time.
    if (total <= lastTotal || busy < lastBusy)
        return last_.load;
    // iowait may go backwards, so busy can seem to grow faster than the whole.
    return plausibleFigure(double(busy - lastBusy) * 100.0 / double(total - lastTotal), metrics::isPlausibleLoad);
}

bool CpuSampler::findPowerSource()
{
    const QString rapl = roots_.sys + QStringLiteral("/class/powercap/intel-rapl:0");
    if (readInteger(rapl + QStringLiteral("/energy_uj"))) {
        powerSource_ = PowerSource::Rapl;
        powerFile_ = rapl + QStringLiteral("/energy_uj");
        // Without the range the counter's wrap cannot be told from a reset; such a step is skipped.
        raplWrapUj_ =
            quint64(std::max<qint64>(readInteger(rapl + QStringLiteral("/max_energy_range_uj")).value_or(0), 0));
        return true;
    }
    for (const QString& folder : hwmonFolders(roots_.sys)) {
        if (!isCpuPowerChip(chipName(folder)))
            continue;
        for (const char* name : {"/power1_average", "/power1_input"}) {
            if (readInteger(folder + QLatin1String(name))) {
                powerSource_ = PowerSource::HwmonPower;
                powerFile_ = folder + QLatin1String(name);
                return true;
            }
        }
        const QString energy = socketEnergyFile(folder);
        if (readInteger(energy)) {
            powerSource_ = PowerSource::HwmonEnergy;
            powerFile_ = energy;
            return true;
        }
    }
    return false;
}

std::optional<int> CpuSampler::readPower(qint64 nowUs)
{
    if (powerSource_ == PowerSource::None && !findPowerSource())
        return std::nullopt;
    const std::optional<qint64> value = readInteger(powerFile_);
    if (!value || *value < 0) {
        powerSource_ = PowerSource::None;
        energy_ = Counter();
        return std::nullopt;
    }
    if (powerSource_ == PowerSource::HwmonPower)
        return plausibleFigure(double(*value) / 1e6, metrics::isPlausiblePower); // microwatts
    return powerFromEnergy(quint64(*value), powerSource_ == PowerSource::Rapl ? raplWrapUj_ : 0, nowUs);
}

std::optional<int> CpuSampler::powerFromEnergy(quint64 energyUj, quint64 wrapUj, qint64 nowUs)
{
    const Counter previous = energy_;
    if (previous.valid && nowUs <= previous.timeUs)
        return last_.power;
    energy_ = Counter{energyUj, nowUs, true};
    if (!previous.valid)
        return 0;
    quint64 spentUj = 0;
    if (energyUj >= previous.value)
        spentUj = energyUj - previous.value;
    else if (wrapUj > previous.value)
        spentUj = wrapUj - previous.value + energyUj;
    else
        return last_.power; // a reset, not a wrap
    // Microjoules over microseconds are watts.
    return plausibleFigure(double(spentUj) / double(nowUs - previous.timeUs), metrics::isPlausiblePower);
}

void CpuSampler::reportOnce(bool& reported, const char* message)
{
    if (reported)
        return;
    reported = true;
    qWarning("%s", message);
}

} // namespace korvo::sensors
