// SPDX-License-Identifier: GPL-3.0-or-later
#include "GetCPUInfo/winfigures.h"

#include "metrics/cpuinfo.h"

namespace korvo::sensors {

std::optional<int> loadBetween(const SystemTimes& earlier, const SystemTimes& later)
{
    if (later.idle < earlier.idle || later.kernel < earlier.kernel || later.user < earlier.user)
        return std::nullopt;
    const quint64 idle = later.idle - earlier.idle;
    const quint64 kernel = later.kernel - earlier.kernel;
    const quint64 total = kernel + (later.user - earlier.user);
    if (total == 0 || idle > kernel)
        return std::nullopt;
    // Deltas of a second are about 10^7 per processor, far from overflowing the product.
    const quint64 busy = total - idle;
    const int percent = int((busy * 200 + total) / (total * 2));
    if (!metrics::isPlausibleLoad(percent))
        return std::nullopt;
    return percent;
}

std::optional<int> celsiusFromDeciKelvin(quint32 deciKelvin)
{
    // 0 °C is 2731.5 tenths of a kelvin; working in twentieths keeps the rounding in integers.
    const qint64 twentieths = qint64(deciKelvin) * 2 - 5463;
    const qint64 celsius = twentieths >= 0 ? (twentieths + 10) / 20 : -((-twentieths + 10) / 20);
    if (!metrics::isPlausibleTemperature(int(celsius)))
        return std::nullopt;
    return int(celsius);
}

} // namespace korvo::sensors
