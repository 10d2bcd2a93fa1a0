// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

struct IWbemServices;

namespace korvo::sensors {

// The ACPI thermal zones as WMI reports them (root\WMI, MSAcpi_ThermalZoneTemperature). Many
// machines let only administrators read them and many firmwares fill them with a constant, so
// every failure here only means "no temperature". Lives on the thread that created it (COM).
class ThermalZone
{
public:
    ThermalZone();
    ~ThermalZone();
    ThermalZone(const ThermalZone&) = delete;
    ThermalZone& operator=(const ThermalZone&) = delete;

    // The hottest zone with a plausible reading, in whole degrees Celsius; nothing when WMI
    // cannot be asked or no zone reads plausibly (lastError() says which).
    std::optional<int> readCelsius();
    QString lastError() const { return error_; }

private:
    bool connect();

    bool comInitialised_ = false;
    IWbemServices* services_ = nullptr;
    QString error_;
};

} // namespace korvo::sensors
