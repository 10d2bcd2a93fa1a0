#include "GetCPUInfo/nvml.h"

namespace korvo::sensors {
namespace {

constexpr int TemperatureGpu = 0; // NVML_TEMPERATURE_GPU

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

} // namespace

Nvml::Nvml(const QString& library) : library_(library)
{
    if (!library_.load()) {
        error_ = QStringLiteral("NVML could not be loaded (%1)").arg(library_.errorString());
        return;
    }
    for (const auto& [name, found] :
         {std::pair<const char*, bool>{"nvmlInit_v2", resolve(library_, "nvmlInit_v2", init_)},
          {"nvmlShutdown", resolve(library_, "nvmlShutdown", shutdown_)},
          {"nvmlDeviceGetCount_v2", resolve(library_, "nvmlDeviceGetCount_v2", getCount_)},
          {"nvmlDeviceGetHandleByIndex_v2", resolve(library_, "nvmlDeviceGetHandleByIndex_v2", getHandle_)},
          {"nvmlDeviceGetTemperature", resolve(library_, "nvmlDeviceGetTemperature", getTemperature_)},
          {"nvmlDeviceGetUtilizationRates", resolve(library_, "nvmlDeviceGetUtilizationRates", getUtilization_)},
          {"nvmlErrorString", resolve(library_, "nvmlErrorString", errorString_)}}) {
        if (!found) {
            error_ = QStringLiteral("NVML in %1 lacks %2").arg(library_.fileName(), QLatin1String(name));
            library_.unload();
            return;
        }
    }
    const Return result = init_();
    if (result != 0) {
        // No GPU, or a library that does not match the loaded driver.
        error_ = QStringLiteral("NVML did not start (%1)").arg(describe(result));
        library_.unload();
        return;
    }
    initialised_ = true;
}

Nvml::~Nvml()
{
    if (!initialised_)
        return;
    shutdown_();
    library_.unload();
}

QString Nvml::describe(Return result) const
{
    const char* text = errorString_ ? errorString_(result) : nullptr;
    return text ? QString::fromUtf8(text) : QStringLiteral("error %1").arg(result);
}

unsigned Nvml::deviceCount()
{
    unsigned int count = 0;
    if (!initialised_ || getCount_(&count) != 0)
        return 0;
    return count;
}

std::optional<Nvml::Device> Nvml::device(unsigned index)
{
    Device handle = nullptr;
    if (!initialised_ || getHandle_(index, &handle) != 0)
        return std::nullopt;
    return handle;
}

std::optional<int> Nvml::temperature(unsigned index)
{
    const std::optional<Device> handle = device(index);
    unsigned int celsius = 0;
    if (!handle || getTemperature_(*handle, TemperatureGpu, &celsius) != 0 || celsius > 1000)
        return std::nullopt;
    return int(celsius);
}

std::optional<int> Nvml::load(unsigned index)
{
    const std::optional<Device> handle = device(index);
    Utilization utilization{};
    if (!handle || getUtilization_(*handle, &utilization) != 0 || utilization.gpu > 1000)
        return std::nullopt;
    return int(utilization.gpu);
}

} // namespace korvo::sensors
