// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrics/figuretexts.h"

#include "platform/clock.h"
#include "platform/memoryload.h"

namespace korvo::metrics {
namespace {

constexpr QChar CelsiusSign(0x2103);

// A figure that was not measured shows no digits at all, so it cannot pass for a reading.
QString withUnit(int value, bool available, QString unit)
{
    return (available ? QString::number(value) : QStringLiteral("--")) + unit;
}

// The clock texts are built from the numbers: the format-string path of QDateTime::toString runs
// through the locale machinery, which is most of a pass's text work.
QString padded(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

} // namespace

QString sampleText(int kind)
{
    switch (kind) {
    case CpuTemperature:
        return QStringLiteral("45℃");
    case CpuLoad:
        return QStringLiteral("65%");
    case MemoryLoad:
        return QStringLiteral("20%");
    case Time:
        return QStringLiteral("18:46");
    case CpuPower:
        return QStringLiteral("15w");
    case Date:
        return QStringLiteral("2019.12.21");
    case FanSpeed:
        return QStringLiteral("1000");
    case GpuTemperature:
        return QStringLiteral("50℃");
    case GpuLoad:
        return QStringLiteral("30%");
    default:
        return QString();
    }
}

QString temperatureText(int degrees)
{
    return withUnit(degrees, degrees != UnavailableFigure, CelsiusSign);
}

// A CPU that reads 0 % has had no time to be measured; 1 keeps the figure from looking like an
// idle or switched-off machine.
QString loadText(int percent)
{
    return withUnit(qMax(percent, 1), percent != UnavailableFigure, QStringLiteral("%"));
}

QString memoryLoadText(int percent)
{
    return withUnit(percent, percent >= 0, QStringLiteral("%"));
}

QString timeText()
{
    const QTime now = platform::localNow().time;
    return padded(now.hour(), 2) + QLatin1Char(':') + padded(now.minute(), 2);
}

QString powerText(int watts)
{
    return withUnit(qMax(watts, 1), watts != UnavailableFigure, QStringLiteral("w"));
}

QString dateText()
{
    const QDate today = platform::localNow().date;
    return padded(today.year(), 4) + QLatin1Char('.') + padded(today.month(), 2) + QLatin1Char('.') +
           padded(today.day(), 2);
}

QString fanSpeedText(int rpm)
{
    if (rpm == UnavailableFigure)
        return QStringLiteral("--");
    return QString::asprintf("%4d", rpm);
}

// An idle GPU is at 0 %, a reading like any other.
QString gpuLoadText(int percent)
{
    return withUnit(percent, percent != UnavailableFigure, QStringLiteral("%"));
}

QString metricText(int kind, const CpuInfoBlock& cpu)
{
    switch (kind) {
    case CpuTemperature:
        return temperatureText(cpu.cpuTemperature);
    case CpuLoad:
        return loadText(cpu.cpuLoad);
    case MemoryLoad:
        return memoryLoadText(platform::memoryLoadPercent());
    case Time:
        return timeText();
    case CpuPower:
        return powerText(cpu.cpuPower);
    case Date:
        return dateText();
    case FanSpeed:
        return fanSpeedText(cpu.fanSpeed);
    case GpuTemperature:
        return temperatureText(cpu.gpuTemperature);
    case GpuLoad:
        return gpuLoadText(cpu.gpuLoad);
    case FreeText:
    case SecondString:
        // The free texts are drawn from the layout, not measured.
        return QString();
    default:
        qWarning("metricText: unknown figure kind %d.", kind);
        return QString();
    }
}

FigureSet unavailableFigures(const CpuInfoBlock& cpu)
{
    FigureSet unavailable;
    unavailable[CpuTemperature] = cpu.cpuTemperature == UnavailableFigure;
    unavailable[CpuLoad] = cpu.cpuLoad == UnavailableFigure;
    unavailable[CpuPower] = cpu.cpuPower == UnavailableFigure;
    unavailable[FanSpeed] = cpu.fanSpeed == UnavailableFigure;
    unavailable[GpuTemperature] = cpu.gpuTemperature == UnavailableFigure;
    unavailable[GpuLoad] = cpu.gpuLoad == UnavailableFigure;
    return unavailable;
}

QString unavailableText(int kind)
{
    if (kind == MemoryLoad)
        return memoryLoadText(-1);
    if (kind == Time || kind == Date)
        return QString();
    // A block that gives nothing: the formatters' own "--" texts.
    return metricText(kind, CpuInfoBlock());
}

FigureTexts metricTexts(const FigureSet& shown, const CpuInfoBlock& cpu)
{
    FigureTexts texts;
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        if (shown.test(size_t(kind)))
            texts[size_t(kind)] = metricText(kind, cpu);
    }
    return texts;
}

} // namespace korvo::metrics
