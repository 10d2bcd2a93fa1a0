#include "metrics/figuretexts.h"

#include "platform/clock.h"
#include "platform/memoryload.h"

namespace korvo::metrics {
namespace {

constexpr QChar CelsiusSign(0x2103);

// No fan is measured; the screen shows a ramp over the CPU temperature instead.
int fanSpeedFor(int degrees)
{
    if (degrees <= 50)
        return 1000;
    if (degrees >= 75)
        return 3500;
    return (degrees - 50) * 100 + 1000;
}

// The clock texts are built from the numbers: the format-string path of QDateTime::toString runs
// through the locale machinery, which is most of a pass's text work.
QString padded(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

} // namespace

QString temperatureText(int degrees)
{
    return QString::number(degrees) + CelsiusSign;
}

// A load or power of 0 means GetCPUInfo has not measured yet; 1 keeps the figure from looking
// like an idle or switched-off machine.
QString loadText(int percent)
{
    return QString::number(qMax(percent, 1)) + QLatin1Char('%');
}

QString memoryLoadText()
{
    return QString::number(platform::memoryLoadPercent()) + QLatin1Char('%');
}

QString timeText()
{
    const QTime now = platform::localNow().time;
    return padded(now.hour(), 2) + QLatin1Char(':') + padded(now.minute(), 2);
}

QString powerText(int watts)
{
    return QString::number(qMax(watts, 1)) + QLatin1Char('w');
}

QString dateText()
{
    const QDate today = platform::localNow().date;
    return padded(today.year(), 4) + QLatin1Char('.') + padded(today.month(), 2) + QLatin1Char('.') +
           padded(today.day(), 2);
}

QString fanSpeedText(int degrees)
{
    return QString::asprintf("%4d", fanSpeedFor(degrees));
}

QString metricText(int kind, const CpuInfoBlock& cpu)
{
    switch (kind) {
    case 0:
        return temperatureText(cpu.cpuTemperature);
    case 1:
        return loadText(cpu.cpuLoad);
    case 2:
        return memoryLoadText();
    case 3:
        return timeText();
    case 4:
        return powerText(cpu.cpuPower);
    case 5:
        return dateText();
    case 6:
        return fanSpeedText(cpu.cpuTemperature);
    case 7:
    case 8:
        // The free texts are drawn from the layout, not measured.
        return QString();
    default:
        qWarning("metricText: unknown figure kind %d.", kind);
        return QString();
    }
}

} // namespace korvo::metrics
