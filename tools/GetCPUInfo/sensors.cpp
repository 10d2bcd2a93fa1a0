#include "GetCPUInfo/sensors.h"
#include "metrics/cpuinfo.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace korvo::sensors {
namespace {

// A measurement rounded to whole units, or UnavailableFigure when it is not a figure the machine
// can have: a broken sensor or a counter that went backwards must not reach the screen.
int plausibleFigure(double value, bool (*plausible)(int))
{
    if (!(std::fabs(value) < 1e6)) // also NaN; keeps the rounding within int
        return metrics::UnavailableFigure;
    const int whole = int(std::lround(value));
    return plausible(whole) ? whole : metrics::UnavailableFigure;
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

// The board's or the CPU's fans, those labelled as the CPU's first; the first that turns. A GPU
// drives its own fan for its own heat, so its fan is never the figure.
QString findFan(const QString& sysRoot)
{
    QStringList cpuFans;
    QStringList otherFans;
    for (const QString& folder : hwmonFolders(sysRoot)) {
        if (isGpuChip(chipName(folder)))
            continue;
        QStringList inputs = QDir(folder).entryList({QStringLiteral("fan*_input")}, QDir::Files);
        // fan10 after fan2
        const auto number = [](const QString& name) { return name.mid(3, name.indexOf(QLatin1Char('_')) - 3).toInt(); };
        std::sort(inputs.begin(), inputs.end(),
                  [&number](const QString& a, const QString& b) { return number(a) < number(b); });
        for (const QString& name : inputs) {
            const QString input = folder + QLatin1Char('/') + name;
            (inputLabel(input).toLower().contains("cpu") ? cpuFans : otherFans).append(input);
        }
    }
    for (const QString& input : cpuFans + otherFans) {
        if (readInteger(input).value_or(0) > 0)
            return input;
    }
    return {};
}

// "hwmon2 nct6775 fan2_input (CPU_FAN)", or "thermal_zone1 (x86_pkg_temp)" for a zone.
QString inputSource(const QString& input)
{
    const QFileInfo file(input);
    if (file.fileName() == QLatin1String("temp") && !input.contains(QLatin1String("/class/hwmon/")))
        return QFileInfo(file.path()).fileName() + QStringLiteral(" (") +
               QString::fromUtf8(readFirstLine(file.path() + QStringLiteral("/type")).value_or(QByteArray())) +
               QLatin1Char(')');
    const QByteArray label = inputLabel(input);
    return hwmonSource(file.path()) + QLatin1Char(' ') + file.fileName() +
           (label.isEmpty() ? QString() : QStringLiteral(" (") + QString::fromUtf8(label) + QLatin1Char(')'));
}

} // namespace

CpuSampler::CpuSampler(SensorRoots roots, bool report) : roots_(roots), gpu_(std::move(roots)), report_(report) {}

CpuFigures CpuSampler::sample(qint64 nowUs)
{
    CpuFigures figures;
    figures.temperature = readTemperature();
    figures.load = readLoad();
    figures.power = readPower(nowUs);
    figures.fanSpeed = readFanSpeed();
    const GpuFigures gpu = gpu_.sample();
    figures.gpuTemperature = gpu.temperature;
    figures.gpuLoad = gpu.load;
    if (gpu.temperature == metrics::UnavailableFigure)
        unavailable(Figure::GpuTemperature, gpu_.temperatureSource());
    else
        setSource(Figure::GpuTemperature, gpu_.temperatureSource());
    if (gpu.load == metrics::UnavailableFigure)
        unavailable(Figure::GpuLoad, gpu_.loadSource());
    else
        setSource(Figure::GpuLoad, gpu_.loadSource());
    last_ = figures;
    return figures;
}

int CpuSampler::unavailable(Figure figure, const QString& reason)
{
    static const char* const names[FigureCount] = {"CPU temperature", "CPU load",        "CPU power",
                                                   "fan speed",       "GPU temperature", "GPU load"};
    sources_[size_t(figure)] = reason;
    missing_[size_t(figure)] = true;
    bool& reported = reported_[size_t(figure)];
    if (!reported && report_)
        qWarning("GetCPUInfo: %s unavailable: %s.", names[size_t(figure)], qPrintable(reason));
    reported = true;
    return metrics::UnavailableFigure;
}

void CpuSampler::setSource(Figure figure, const QString& source)
{
    sources_[size_t(figure)] = source;
    missing_[size_t(figure)] = false;
}

int CpuSampler::readTemperature()
{
    const std::optional<qint64> milli = temperatureFile_.read([this] {
        const QString file = findHwmonTemperature(roots_.sys);
        return file.isEmpty() ? findThermalZone(roots_.sys) : file;
    });
    if (!milli)
        return unavailable(Figure::CpuTemperature,
                           temperatureFile_.path().isEmpty()
                               ? QStringLiteral("No CPU temperature sensor found: looked for k10temp, coretemp, "
                                                "zenpower and the thermal zones")
                               : temperatureFile_.path() + QStringLiteral(" stopped reading"));
    const int celsius = plausibleFigure(double(*milli) / 1000.0, metrics::isPlausibleTemperature);
    if (celsius == metrics::UnavailableFigure)
        return unavailable(Figure::CpuTemperature,
                           temperatureFile_.path() + QStringLiteral(" gave no plausible reading"));
    setSource(Figure::CpuTemperature, inputSource(temperatureFile_.path()));
    return celsius;
}

int CpuSampler::readLoad()
{
    const QString stat = roots_.proc + QStringLiteral("/stat");
    const std::optional<QByteArray> line = readFirstLine(stat);
    if (!line || !line->startsWith("cpu "))
        return unavailable(Figure::CpuLoad, stat + QStringLiteral(" has no cpu line"));
    // user nice system idle iowait irq softirq steal; guest time is already counted in user.
    const QList<QByteArray> words = line->simplified().split(' ');
    const int fields = std::min(int(words.size()) - 1, 8);
    if (fields < 4)
        return unavailable(Figure::CpuLoad, stat + QStringLiteral(" has too few counters"));
    quint64 total = 0;
    quint64 idle = 0;
    for (int i = 0; i < fields; ++i) {
        bool ok = false;
        const quint64 ticks = words[i + 1].toULongLong(&ok);
        if (!ok)
            return unavailable(Figure::CpuLoad, stat + QStringLiteral(" has a counter that is not a number"));
        total += ticks;
        if (i == 3 || i == 4) // idle and iowait
            idle += ticks;
    }
    setSource(Figure::CpuLoad, stat);
    const quint64 busy = total - idle;
    const bool primed = haveStat_;
    const quint64 lastBusy = lastBusy_;
    const quint64 lastTotal = lastTotal_;
    haveStat_ = true;
    lastBusy_ = busy;
    lastTotal_ = total;
    if (!primed)
        return metrics::UnavailableFigure; // a rate needs two readings
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
        setSource(Figure::CpuPower, QStringLiteral("intel-rapl:0 energy_uj"));
        return true;
    }
    for (const QString& folder : hwmonFolders(roots_.sys)) {
        if (!isCpuPowerChip(chipName(folder)))
            continue;
        for (const char* name : {"/power1_average", "/power1_input"}) {
            if (readInteger(folder + QLatin1String(name))) {
                powerSource_ = PowerSource::HwmonPower;
                powerFile_ = folder + QLatin1String(name);
                setSource(Figure::CpuPower, inputSource(powerFile_));
                return true;
            }
        }
        const QString energy = socketEnergyFile(folder);
        if (readInteger(energy)) {
            powerSource_ = PowerSource::HwmonEnergy;
            powerFile_ = energy;
            setSource(Figure::CpuPower, inputSource(powerFile_));
            return true;
        }
    }
    return false;
}

int CpuSampler::readPower(qint64 nowUs)
{
    if (powerSource_ == PowerSource::None && !findPowerSource())
        return unavailable(Figure::CpuPower, QStringLiteral("No CPU power or energy sensor could be read (the RAPL "
                                                            "counter is often readable by root only)"));
    const std::optional<qint64> value = readInteger(powerFile_);
    if (!value || *value < 0) {
        powerSource_ = PowerSource::None;
        energy_ = Counter();
        return unavailable(Figure::CpuPower, powerFile_ + QStringLiteral(" stopped reading"));
    }
    if (powerSource_ == PowerSource::HwmonPower)
        return plausibleFigure(double(*value) / 1e6, metrics::isPlausiblePower); // microwatts
    return powerFromEnergy(quint64(*value), powerSource_ == PowerSource::Rapl ? raplWrapUj_ : 0, nowUs);
}

int CpuSampler::powerFromEnergy(quint64 energyUj, quint64 wrapUj, qint64 nowUs)
{
    const Counter previous = energy_;
    if (previous.valid && nowUs <= previous.timeUs)
        return last_.power;
    energy_ = Counter{energyUj, nowUs, true};
    if (!previous.valid)
        return metrics::UnavailableFigure; // a rate needs two readings
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

int CpuSampler::readFanSpeed()
{
    const std::optional<qint64> rpm = fanFile_.read([this] { return findFan(roots_.sys); });
    if (!rpm)
        return unavailable(Figure::FanSpeed,
                           fanFile_.path().isEmpty()
                               ? QStringLiteral("No fan speed sensor found: no CPU or board sensor chip reports a "
                                                "turning fan")
                               : fanFile_.path() + QStringLiteral(" stopped reading"));
    // A fan that stops once it was found (a quiet mode) reads 0, a reading like any other.
    const int figure = plausibleFigure(double(*rpm), metrics::isPlausibleFanSpeed);
    if (figure == metrics::UnavailableFigure)
        return unavailable(Figure::FanSpeed, fanFile_.path() + QStringLiteral(" gave no plausible reading"));
    setSource(Figure::FanSpeed, inputSource(fanFile_.path()));
    return figure;
}

std::array<QString, FigureCount> missingFigures(const SensorRoots& roots)
{
    std::array<QString, FigureCount> reasons;
#ifdef Q_OS_WIN
    // Windows' GetCPUInfo reads the CPU through WMI and the system's counters, not these files.
    reasons[size_t(Figure::CpuPower)] = QStringLiteral("Windows offers no CPU power reading without a driver");
    reasons[size_t(Figure::FanSpeed)] = QStringLiteral("Windows offers no fan reading without a driver");
    GpuSampler gpu(roots);
    const GpuFigures figures = gpu.sample();
    if (figures.temperature == metrics::UnavailableFigure)
        reasons[size_t(Figure::GpuTemperature)] = gpu.temperatureSource();
    if (figures.load == metrics::UnavailableFigure)
        reasons[size_t(Figure::GpuLoad)] = gpu.loadSource();
#else
    CpuSampler sampler(roots, false);
    sampler.sample(0);
    for (int figure = 0; figure < FigureCount; ++figure) {
        if (sampler.missing(Figure(figure)))
            reasons[size_t(figure)] = sampler.source(Figure(figure));
    }
#endif
    return reasons;
}

} // namespace korvo::sensors
