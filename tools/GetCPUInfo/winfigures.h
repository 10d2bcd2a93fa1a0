// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The arithmetic behind GetCPUInfo's Windows figures, kept free of Windows headers so that it is
// built and tested on every system.

#include <QtGlobal>

#include <optional>

namespace korvo::sensors {

// One GetSystemTimes reading, in 100-nanosecond units summed over all processors. Kernel time
// includes the idle time.
struct SystemTimes
{
    quint64 idle = 0;
    quint64 kernel = 0;
    quint64 user = 0;
};

// The share of the time between two readings that the processors were busy, in whole percent
// rounded to nearest. Nothing when no time passed or a counter went backwards (a reading taken
// out of order, or garbage).
std::optional<int> loadBetween(const SystemTimes& earlier, const SystemTimes& later);

// MSAcpi_ThermalZoneTemperature's CurrentTemperature (tenths of a kelvin) in whole degrees
// Celsius, rounded to nearest. Nothing when the result is no plausible CPU temperature: firmware
// that fills the zone with 0 or a constant is common.
std::optional<int> celsiusFromDeciKelvin(quint32 deciKelvin);

} // namespace korvo::sensors
