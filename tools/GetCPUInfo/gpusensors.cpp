#include "GetCPUInfo/gpusensors.h"

#include "GetCPUInfo/nvml.h"
#include "metrics/cpuinfo.h"

#include <QDir>
#include <QFileInfo>

namespace korvo::sensors {
namespace {

constexpr const char* GpuChips[] = {"amdgpu", "radeon", "nouveau", "i915", "xe"};

// amdgpu names its die sensor "edge"; the other drivers have one temperature or list it first.
QString gpuTemperatureInput(const QString& folder)
{
    const QStringList inputs = QDir(folder).entryList({QStringLiteral("temp*_input")}, QDir::Files, QDir::Name);
    QString first;
    for (const QString& name : inputs) {
        const QString input = folder + QLatin1Char('/') + name;
        if (!readInteger(input))
            continue;
        if (inputLabel(input) == "edge")
            return input;
        if (first.isEmpty())
            first = input;
    }
    return first;
}

// `value` / `divisor` rounded to nearest, when that is a figure the GPU can have.
int32_t plausible(std::optional<qint64> value, qint64 divisor, bool (*check)(int))
{
    if (!value || *value < -1000000000 || *value > 1000000000)
        return metrics::UnavailableFigure;
    const qint64 whole = (*value >= 0 ? *value + divisor / 2 : *value - divisor / 2) / divisor;
    return check(int(whole)) ? int32_t(whole) : metrics::UnavailableFigure;
}

} // namespace

bool isGpuChip(const QByteArray& chip)
{
    for (const char* name : GpuChips) {
        if (chip == name)
            return true;
    }
    return false;
}

GpuSampler::GpuSampler(SensorRoots roots) : roots_(std::move(roots)) {}

GpuSampler::~GpuSampler() = default;

QString GpuSampler::findHwmonGpu()
{
    for (const QString& folder : hwmonFolders(roots_.sys)) {
        if (!isGpuChip(chipName(folder)))
            continue;
        const QString input = gpuTemperatureInput(folder);
        if (!input.isEmpty()) {
            gpuFolder_ = folder;
            return input;
        }
    }
    return {};
}

GpuFigures GpuSampler::sample()
{
    GpuFigures figures;
    const std::optional<qint64> milli = temperature_.read([this] { return findHwmonGpu(); });
    if (temperature_.path().isEmpty())
        return sampleNvml();
    const QString input = QFileInfo(temperature_.path()).fileName();
    const QString gpu = hwmonSource(gpuFolder_);
    if (!milli) {
        // A GPU reset takes the driver's files away for a moment.
        temperatureSource_ = loadSource_ = gpu + QLatin1Char(' ') + input + QStringLiteral(" stopped reading");
        return figures;
    }
    figures.temperature = plausible(milli, 1000, metrics::isPlausibleTemperature);
    const QByteArray label = inputLabel(temperature_.path());
    temperatureSource_ = gpu + QLatin1Char(' ') + input;
    if (figures.temperature == metrics::UnavailableFigure)
        temperatureSource_ += QStringLiteral(" gave no plausible reading");
    else if (!label.isEmpty())
        temperatureSource_ += QStringLiteral(" (") + QString::fromUtf8(label) + QLatin1Char(')');
    const QString busy = gpuFolder_ + QStringLiteral("/device/gpu_busy_percent");
    const std::optional<qint64> percent = readInteger(busy);
    figures.load = plausible(percent, 1, metrics::isPlausibleLoad);
    if (figures.load != metrics::UnavailableFigure)
        loadSource_ = gpu + QStringLiteral(" device/gpu_busy_percent");
    else if (QFileInfo::exists(busy))
        loadSource_ = gpu + QStringLiteral(" device/gpu_busy_percent gave no plausible load");
    else
        loadSource_ = QStringLiteral("No GPU load: ") + gpu + QStringLiteral(" reports none");
    return figures;
}

GpuFigures GpuSampler::sampleNvml()
{
    GpuFigures figures;
    if (!nvmlTried_) {
        nvmlTried_ = true;
        if (!roots_.nvml.isEmpty()) {
            nvml_ = std::make_unique<Nvml>(roots_.nvml);
            if (!nvml_->ok()) {
                nvmlError_ = nvml_->error();
                nvml_.reset();
            }
        } else {
            nvmlError_ = QStringLiteral("NVML not looked for");
        }
    }
    if (nvml_ && nvmlDevice_ < 0) {
        const unsigned count = nvml_->deviceCount();
        for (unsigned index = 0; index < count && nvmlDevice_ < 0; ++index) {
            if (nvml_->temperature(index))
                nvmlDevice_ = int(index);
        }
        if (nvmlDevice_ < 0) {
            // Asked once, like the library itself: GPUs do not come and go while it runs.
            nvmlError_ = QStringLiteral("NVML has no GPU with a temperature");
            nvml_.reset();
        }
    }
    if (nvmlDevice_ < 0) {
        temperatureSource_ = loadSource_ =
            QStringLiteral("No GPU temperature sensor found: looked for amdgpu, radeon, nouveau, i915, xe; ") +
            nvmlError_;
        return figures;
    }
    const QString gpu = QStringLiteral("NVML GPU %1").arg(nvmlDevice_);
    const std::optional<int> celsius = nvml_->temperature(unsigned(nvmlDevice_));
    const std::optional<int> percent = nvml_->load(unsigned(nvmlDevice_));
    figures.temperature = plausible(celsius, 1, metrics::isPlausibleTemperature);
    figures.load = plausible(percent, 1, metrics::isPlausibleLoad);
    temperatureSource_ = gpu + (celsius ? QString() : QStringLiteral(" did not answer"));
    loadSource_ = gpu + (percent ? QString() : QStringLiteral(" did not answer"));
    return figures;
}

} // namespace korvo::sensors
