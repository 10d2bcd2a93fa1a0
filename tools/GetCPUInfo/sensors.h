#pragma once

// What GetCPUInfo measures: CPU temperature from hwmon (or a thermal zone), CPU load from the
// /proc/stat counters, CPU power from the RAPL energy counter or an hwmon sensor, the speed of a
// CPU or board fan, and the GPU's temperature and load (hwmon, or NVML for NVIDIA).

#include "GetCPUInfo/gpusensors.h"
#include "GetCPUInfo/sensorfile.h"
#include "metrics/cpuinfo.h"

#include <QString>

#include <array>
#include <cstdint>

namespace korvo::sensors {

struct CpuFigures
{
    int32_t temperature = metrics::UnavailableFigure; // whole degrees Celsius
    int32_t load = metrics::UnavailableFigure;        // whole percent
    int32_t power = metrics::UnavailableFigure;       // whole watts
    int32_t fanSpeed = metrics::UnavailableFigure;    // rpm
    int32_t gpuTemperature = metrics::UnavailableFigure;
    int32_t gpuLoad = metrics::UnavailableFigure;
};

enum class Figure
{
    CpuTemperature,
    CpuLoad,
    CpuPower,
    FanSpeed,
    GpuTemperature,
    GpuLoad,
};
constexpr int FigureCount = 6;

// Load and power are rates, so they come from the difference between two readings; the first
// call after construction only primes them. A figure that cannot be read is reported once per
// sampler, not once a second.
class CpuSampler
{
public:
    // `report`: log each figure that cannot be read, once.
    explicit CpuSampler(SensorRoots roots, bool report = true);

    // nowUs: a monotonic time in microseconds; power is energy over its difference.
    CpuFigures sample(qint64 nowUs);

    // Where the last reading of a figure came from ("hwmon0 k10temp temp2_input (Tdie)"), or why
    // there was none.
    QString source(Figure figure) const { return sources_[size_t(figure)]; }
    // Whether the machine has no sensor for the figure, as far as the last reading could tell
    // (a rate that was only primed has its sensor).
    bool missing(Figure figure) const { return missing_[size_t(figure)]; }

private:
    struct Counter
    {
        quint64 value = 0;
        qint64 timeUs = 0;
        bool valid = false;
    };
    // Where the power comes from, chosen on the first reading that works.
    enum class PowerSource
    {
        None,
        Rapl,
        HwmonPower,
        HwmonEnergy
    };

    int readTemperature();
    int readLoad();
    int readPower(qint64 nowUs);
    int readFanSpeed();
    int powerFromEnergy(quint64 energyUj, quint64 wrapUj, qint64 nowUs);
    bool findPowerSource();
    // Records that `figure` is unavailable for `reason`, logged the first time only.
    int unavailable(Figure figure, const QString& reason);
    void setSource(Figure figure, const QString& source);

    SensorRoots roots_;
    SensorFile temperatureFile_;
    SensorFile fanFile_;
    PowerSource powerSource_ = PowerSource::None;
    QString powerFile_;
    quint64 raplWrapUj_ = 0;
    Counter energy_;
    quint64 lastBusy_ = 0;
    quint64 lastTotal_ = 0;
    bool haveStat_ = false;
    CpuFigures last_;
    GpuSampler gpu_;
    std::array<QString, FigureCount> sources_;
    std::array<bool, FigureCount> reported_{};
    std::array<bool, FigureCount> missing_{};
    const bool report_;
};

// Why each figure cannot be had on this machine, from one reading; empty for a figure it gives.
std::array<QString, FigureCount> missingFigures(const SensorRoots& roots);

} // namespace korvo::sensors
