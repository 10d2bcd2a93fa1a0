#pragma once

// The GPU's temperature and load: from hwmon for amdgpu, radeon, nouveau and Intel's i915 and xe
// (those that have a temperature), else from NVML for NVIDIA's own driver.

#include "GetCPUInfo/sensorfile.h"
#include "metrics/cpuinfo.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace korvo::sensors {

class Nvml;

// Whether an hwmon chip of that name is a GPU's.
bool isGpuChip(const QByteArray& chip);

struct GpuFigures
{
    int32_t temperature = metrics::UnavailableFigure; // whole degrees Celsius
    int32_t load = metrics::UnavailableFigure;        // whole percent
};

// Reads the first GPU that has a temperature. NVML is loaded only when hwmon has no GPU, and only
// once: a library that fails (no NVIDIA GPU, a driver mismatch) is not tried again.
class GpuSampler
{
public:
    explicit GpuSampler(SensorRoots roots);
    ~GpuSampler();

    GpuFigures sample();
    // Where the figures came from ("hwmon1 amdgpu temp1_input (edge)", "NVML GPU 0"), or why
    // there were none.
    const QString& temperatureSource() const { return temperatureSource_; }
    const QString& loadSource() const { return loadSource_; }

private:
    QString findHwmonGpu();
    GpuFigures sampleNvml();

    SensorRoots roots_;
    SensorFile temperature_;
    QString gpuFolder_; // the hwmon folder of temperature_
    std::unique_ptr<Nvml> nvml_;
    bool nvmlTried_ = false;
    QString nvmlError_;
    int nvmlDevice_ = -1;
    QString temperatureSource_;
    QString loadSource_;
};

} // namespace korvo::sensors
