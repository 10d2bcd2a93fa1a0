// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text of every figure, as the screen shows it.

#include "config/layoutrecord.h"
#include "metrics/cpuinfo.h"

#include <QMetaType>
#include <QString>

#include <array>
#include <bitset>

namespace korvo::metrics {

using FigureTexts = std::array<QString, ElementKindCount>;
// The figures a layout shows, indexed by element kind.
using FigureSet = std::bitset<ElementKindCount>;

// What the screen shows of each figure before anything was measured; empty for the free texts.
QString sampleText(int kind);

// The refresh loop's figures: the last read of the segment and the last text sent per kind.
struct MetricSnapshot
{
    CpuInfoBlock cpu;
    FigureTexts lastText = [] {
        FigureTexts texts;
        for (int kind = 0; kind < ElementKindCount; ++kind)
            texts[size_t(kind)] = sampleText(kind);
        return texts;
    }();
};

// Each formatter shows UnavailableFigure (and a memory load below 0) as "--" and the unit.
QString temperatureText(int degrees);
QString loadText(int percent);
QString memoryLoadText(int percent);
QString timeText();
QString powerText(int watts);
QString dateText();
QString fanSpeedText(int rpm);
QString gpuLoadText(int percent);
// Current text of one figure kind; empty for the free-text kinds and anything else.
QString metricText(int kind, const CpuInfoBlock& cpu);
// The figures `cpu` does not give, which the formatters show as "--" and the unit.
FigureSet unavailableFigures(const CpuInfoBlock& cpu);
// What the screen shows of figure `kind` when it cannot be read: "--" and the unit. Empty for the
// kinds that always can (time, date, the free texts).
QString unavailableText(int kind);
// The texts of the figures in `shown` (the others stay empty and are not read at all: the memory
// load costs a read of /proc/meminfo).
FigureTexts metricTexts(const FigureSet& shown, const CpuInfoBlock& cpu);

} // namespace korvo::metrics

Q_DECLARE_METATYPE(korvo::metrics::FigureSet)
