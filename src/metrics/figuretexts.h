#pragma once

// The text of every figure, as the screen shows it.

#include "metrics/cpuinfo.h"

#include <QString>

#include <array>

namespace korvo::metrics {

// The refresh loop's figures: the CPU words of the last read and the last text sent per kind.
struct MetricSnapshot
{
    CpuInfoBlock cpu;
    std::array<QString, 9> lastText{QStringLiteral("45℃"),
                                    QStringLiteral("65%"),
                                    QStringLiteral("20%"),
                                    QStringLiteral("18:46"),
                                    QStringLiteral("15w"),
                                    QStringLiteral("2019.12.21"),
                                    QStringLiteral("1000"),
                                    QString(),
                                    QString()};
};

QString temperatureText(int degrees);
QString loadText(int percent);
QString memoryLoadText();
QString timeText();
QString powerText(int watts);
QString dateText();
QString fanSpeedText(int degrees);
// Current text of one figure kind (0..8); empty for the free-text kinds and anything else.
QString metricText(int kind, const CpuInfoBlock& cpu);

} // namespace korvo::metrics
