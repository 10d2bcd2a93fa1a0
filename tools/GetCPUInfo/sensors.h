#pragma once

// What GetCPUInfo measures: CPU temperature from hwmon (or a thermal zone), CPU load from the
// /proc/stat counters and CPU power from the RAPL energy counter or an hwmon sensor.

#include <QString>

#include <optional>

namespace korvo::sensors {

struct CpuFigures
{
    int temperature = 0; // whole degrees Celsius
    int load = 0;        // whole percent
    int power = 0;       // whole watts
};

// The roots of sysfs and procfs: KORVO_SYSFS_ROOT and KORVO_PROC_ROOT, "/sys" and "/proc"
// without them, so that a test can run the measurements on a tree of its own.
struct SensorRoots
{
    QString sys;
    QString proc;
    static SensorRoots fromEnvironment();
};

// Load and power are rates, so they come from the difference between two readings; the first
// call after construction only primes them and gives 0. A figure that cannot be read at all is 0
// and is reported once per sampler, not once a second.
class CpuSampler
{
public:
    explicit CpuSampler(SensorRoots roots);

    // nowUs: a monotonic time in microseconds; power is energy over its difference.
    CpuFigures sample(qint64 nowUs);

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

    std::optional<int> readTemperature();
    std::optional<int> readLoad();
    std::optional<int> readPower(qint64 nowUs);
    std::optional<int> powerFromEnergy(quint64 energyUj, quint64 wrapUj, qint64 nowUs);
    bool findPowerSource();
    void reportOnce(bool& reported, const char* message);

    SensorRoots roots_;
    QString temperatureFile_; // found once, looked for again when it stops reading
    PowerSource powerSource_ = PowerSource::None;
    QString powerFile_;
    quint64 raplWrapUj_ = 0;
    Counter energy_;
    quint64 lastBusy_ = 0;
    quint64 lastTotal_ = 0;
    bool haveStat_ = false;
    CpuFigures last_;
    bool temperatureReported_ = false;
    bool loadReported_ = false;
    bool powerReported_ = false;
};

} // namespace korvo::sensors
