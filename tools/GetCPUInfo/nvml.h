#pragma once

// NVIDIA's management library, loaded at run time where the driver installed it: nothing of it
// is needed to build, and a machine without it simply has no NVIDIA figures.

#include <QLibrary>
#include <QString>

#include <optional>

namespace korvo::sensors {

class Nvml
{
public:
    // Loads `library` and initialises NVML; error() says why when that failed.
    explicit Nvml(const QString& library);
    ~Nvml();
    Nvml(const Nvml&) = delete;
    Nvml& operator=(const Nvml&) = delete;

    bool ok() const { return initialised_; }
    const QString& error() const { return error_; }

    unsigned deviceCount();
    // Whole degrees Celsius of the GPU's die, and the share of the last sample period in which
    // it ran work, in percent; nothing when the device does not answer.
    std::optional<int> temperature(unsigned index);
    std::optional<int> load(unsigned index);

private:
    using Return = int; // nvmlReturn_t; 0 is success
    using Device = void*;
    struct Utilization
    {
        unsigned int gpu;
        unsigned int memory;
    };

    std::optional<Device> device(unsigned index);
    QString describe(Return result) const;

    QLibrary library_;
    bool initialised_ = false;
    QString error_;
    Return (*init_)() = nullptr;
    Return (*shutdown_)() = nullptr;
    Return (*getCount_)(unsigned int*) = nullptr;
    Return (*getHandle_)(unsigned int, Device*) = nullptr;
    Return (*getTemperature_)(Device, int, unsigned int*) = nullptr;
    Return (*getUtilization_)(Device, Utilization*) = nullptr;
    const char* (*errorString_)(Return) = nullptr;
};

} // namespace korvo::sensors
