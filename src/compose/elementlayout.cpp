// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/elementlayout.h"

#include "compose/layouttables.h"

#include "compose/fonts.h"
#include "metrics/figuretexts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace korvo::compose {

namespace {

constexpr double SecondTextRatio = 0.6; // the smaller texts are three fifths of the base size
constexpr int CentreSlotGap = 10;       // device pixels between a slot and its label box
constexpr int SlotGap = 5;
constexpr int LabelOverhang = 10; // the label box reaches this far beyond the slot on each side
constexpr int ValueFlags = Qt::AlignCenter;
constexpr int DateFlags = Qt::AlignHCenter | Qt::AlignTop;
constexpr int FreeTextFlags = Qt::AlignCenter | Qt::TextWrapAnywhere;

int roundToInt(double value)
{
    return int(std::lround(value));
}

bool shown(const LayoutRecord& record, int kind)
{
    return isElementKind(kind) && record.Show_[kind] == 1;
}

// The slot of the custom layout's active style that shows `kind`, or -1.
int slotOf(const LayoutState& state, int kind)
{
    const int style = state.Style == 1 ? 1 : 0;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (validCustomShowEntry(state.customShow[style][slot]) == kind)
            return slot;
    }
    return -1;
}

double slotFactor(int slot)
{
    return slot == CentreSlot ? 1.5 : 1.0;
}

int customDatePixelSize(int slot)
{
    return roundToInt(BaseTextPixelSize * SecondTextRatio * slotFactor(slot));
}

QRect labelBox(const QRect& slot, int slotIndex)
{
    const int gap = slotIndex == CentreSlot ? CentreSlotGap : SlotGap;
    return QRect(slot.left() - LabelOverhang, slot.bottom() + 1 + gap, slot.width() + 2 * LabelOverhang, slot.height());
}

// In a custom layout the date shares the time's slot when both are shown: it then stands in the
// label box below the time.
bool dateBelowTime(const LayoutState& state)
{
    return slotOf(state, Date) < 0 && slotOf(state, Time) >= 0 && shown(state.record, Date) &&
           shown(state.record, Time);
}

std::vector<QRect> halves(const QRect& r)
{
    const int left = r.width() / 2;
    return {QRect(r.left(), r.top(), left, r.height()), QRect(r.left() + left, r.top(), r.width() - left, r.height())};
}

QChar charAt(const QString& text, int index, QChar fallback)
{
    return index < text.size() ? text.at(index) : fallback;
}

// Character widths of a clock or date text, from the record's sample text so that the areas stay
// put while the figures change.
struct DigitMetrics
{
    double w = 0; // one digit
    double s = 0; // the separator
    double h = 0; // line height
};

DigitMetrics digitMetrics(int pixelSize, const QString& sample, int separatorIndex, QChar separator)
{
    const QFontMetricsF metrics(elementFont(pixelSize));
    return {metrics.horizontalAdvance(charAt(sample, 0, QLatin1Char('0'))),
            metrics.horizontalAdvance(charAt(sample, separatorIndex, separator)), metrics.height()};
}

std::vector<QRect> clockDigitAreas(const LayoutState& state, const QRect& r)
{
    const DigitMetrics m = digitMetrics(valuePixelSize(state, Time), state.record.String_[Time], 2, QLatin1Char(':'));
    const int x0 = r.left() + roundToInt((r.width() - 4 * m.w - m.s) / 2);
    const int y = r.top() + roundToInt((r.height() - m.h) / 2);
    const int w = roundToInt(m.w);
    const int h = roundToInt(m.h);
    return {QRect(x0, y, w, h), QRect(x0 + roundToInt(m.w), y, w, h), QRect(x0 + roundToInt(2 * m.w + m.s), y, w, h),
            QRect(x0 + roundToInt(3 * m.w + m.s), y, w, h)};
}

// Year, month and day of the date; `pad` widens each by a pixel on both sides.
std::vector<QRect> dateFieldAreas(const LayoutState& state, const QRect& r, const QString& text, bool pad)
{
    const int size = datePixelSize(state);
    const DigitMetrics m = digitMetrics(size, state.record.String_[Date], 4, QLatin1Char('.'));
    const double t = QFontMetricsF(elementFont(size)).horizontalAdvance(text);
    const double x0 = r.left() + (r.width() - t) / 2;
    const double p = pad ? 1 : 0;
    const int h = roundToInt(m.h);
    return {QRect(roundToInt(x0 - p), r.top(), roundToInt(4 * m.w + 2 * p), h),
            QRect(roundToInt(x0 + 4 * m.w + m.s - p), r.top(), roundToInt(2 * m.w + 2 * p), h),
            QRect(roundToInt(x0 + 6 * m.w + 2 * m.s - p), r.top(), roundToInt(2 * m.w + 2 * p), h)};
}

// The centre slot's date is resent per character pair (year high, year low, month, day).
std::vector<QRect> datePairAreas(const QRect& r, const QString& text, const QString& lastText)
{
    const QFontMetricsF metrics(elementFont(customDatePixelSize(CentreSlot)));
    const double x0 = r.left() + (r.width() - metrics.horizontalAdvance(text)) / 2;
    std::vector<QRect> areas;
    for (int index : {0, 2, 5, 8}) {
        if (text.mid(index, 2) == lastText.mid(index, 2))
            continue;
        const int left = roundToInt(x0 + metrics.horizontalAdvance(text.left(index)));
        const int right = roundToInt(x0 + metrics.horizontalAdvance(text.left(index + 2)));
        areas.emplace_back(left, r.top(), right - left, r.height());
    }
    return areas;
}

std::vector<QRect> themeAreas(const LayoutState& state, int kind, bool changed)
{
    const QRect& r = state.record.ShowStringRect_[kind];
    if (!shown(state.record, kind) || !r.isValid())
        return {};
    switch (state.ThemeID) {
    case 1:
        if (kind == Time)
            return clockDigitAreas(state, r);
        return {};
    case 2:
        if (kind == CpuPower)
            return changed ? halves(r) : std::vector<QRect>{};
        break;
    case 3:
        if (kind == Time)
            return halves(r);
        break;
    default:
        break;
    }
    if (changed || kind == Time || kind == Date)
        return {r};
    return {};
}

std::vector<QRect> customAreas(const LayoutState& state, int kind, const QString& text, const QString& lastText)
{
    const int slot = slotOf(state, kind);
    if (slot < 0) {
        if (kind == Date && dateBelowTime(state)) {
            const int timeSlot = slotOf(state, Time);
            return halves(labelBox(slotRect(state.Hor, timeSlot), timeSlot));
        }
        return {};
    }
    if (kind == FreeText)
        return {};
    const QRect r = slotRect(state.Hor, slot);
    if (slot != CentreSlot || kind == Time)
        return halves(r);
    if (kind == Date)
        return datePairAreas(r, text, lastText);
    return text != lastText ? halves(r) : std::vector<QRect>{};
}

const char* const chineseLabels[ElementKindCount] = {
    "CPU温度", "CPU使用率", "内存使用率", "时间", "功耗", "日期", "风扇转速", "其他", "其他", "显卡温度", "显卡占用"};
const char* const englishLabels[ElementKindCount] = {"CPU temp",  "CPU load", "Mem load",  "Time",
                                                     "CPU Power", "Date",     "Fan speed", "String",
                                                     "String",    "GPU temp", "GPU load"};

} // namespace

QString elementLabel(int kind, bool english)
{
    if (!isElementKind(kind))
        return QString();
    return QString::fromUtf8(english ? englishLabels[kind] : chineseLabels[kind]);
}

int valuePixelSize(const LayoutState& state, int kind)
{
    if (state.isCustom())
        return roundToInt(BaseTextPixelSize * slotFactor(slotOf(state, kind)));
    if (kind != state.record.highlight)
        return BaseTextPixelSize;
    if (state.ThemeID == 2)
        return 26;
    double factor = 1.4;
    if (kind == Time)
        factor = state.ThemeID == 1 ? 2.0 : 1.5;
    else if (kind == CpuPower)
        factor = state.englishInterface ? 1.0 : (state.isPortrait() ? 1.3 : 1.2);
    return roundToInt(BaseTextPixelSize * factor);
}

int datePixelSize(const LayoutState& state)
{
    if (state.isCustom())
        return customDatePixelSize(slotOf(state, Date));
    double factor = 1.0;
    if (state.record.highlight == Time) {
        if (state.ThemeID == 1)
            factor = state.isPortrait() ? 1.8 : 2.0;
        else if (state.ThemeID == 3 && state.isPortrait())
            factor = 1.3;
        else
            factor = 1.5;
    }
    return roundToInt(BaseTextPixelSize * SecondTextRatio * factor);
}

int secondPixelSize(const LayoutState& state, int kind)
{
    double factor = 1.0;
    if (state.isCustom())
        factor = slotFactor(slotOf(state, kind));
    else if (kind == state.record.highlight)
        factor = kind == CpuPower ? (state.englishInterface ? 1.0 : (state.isPortrait() ? 1.3 : 1.2)) : 1.5;
    return roundToInt(BaseTextPixelSize * SecondTextRatio * factor);
}

std::vector<TextItem> valueTexts(const LayoutState& state, int kind, const QString& text)
{
    const LayoutRecord& record = state.record;
    if (!isElementKind(kind) || kind == SecondString)
        return {};
    if (!state.isCustom()) {
        const QRect& r = record.ShowStringRect_[kind];
        if (!shown(record, kind) || !r.isValid())
            return {};
        if (kind == Date)
            return {{r, text, datePixelSize(state), DateFlags}};
        return {{r, text, valuePixelSize(state, kind), ValueFlags}};
    }
    if (kind == FreeText) {
        if (!shown(record, FreeText))
            return {};
        return {{stringRowRect(state.Hor, state.curRectId), text, textSizeAt(record.Size), FreeTextFlags,
                 textColorAt(record.Color)}};
    }
    const int slot = slotOf(state, kind);
    if (slot < 0) {
        if (kind == Date && dateBelowTime(state)) {
            const int timeSlot = slotOf(state, Time);
            return {
                {labelBox(slotRect(state.Hor, timeSlot), timeSlot), text, customDatePixelSize(timeSlot), DateFlags}};
        }
        return {};
    }
    const QRect r = slotRect(state.Hor, slot);
    if (kind == Date)
        return {{r, text, customDatePixelSize(slot), ValueFlags}};
    return {{r, text, valuePixelSize(state, kind), ValueFlags}};
}

bool figureShown(const LayoutState& state, int kind)
{
    return !valueTexts(state, kind, QStringLiteral("0")).empty();
}

QString frameValueText(const LayoutState& state, int kind, const metrics::FigureSet& unavailable)
{
    const LayoutRecord& record = state.record;
    if (!isElementKind(kind))
        return QString();
    const QString missing = unavailable.test(size_t(kind)) ? metrics::unavailableText(kind) : QString();
    if (!missing.isEmpty())
        return missing;
    if (kind == Date && state.englishInterface && !record.String_[SecondString].isEmpty())
        return record.String_[SecondString];
    // A layout stored before the GPU figures existed carries no sample text for them.
    if (record.String_[kind].isEmpty() && (kind == GpuTemperature || kind == GpuLoad))
        return metrics::sampleText(kind);
    return record.String_[kind];
}

std::vector<TextItem> frameTexts(const LayoutState& state, const metrics::FigureSet& unavailable)
{
    const LayoutRecord& record = state.record;
    std::vector<TextItem> items;
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        const QString text = frameValueText(state, kind, unavailable);
        if (text.isEmpty())
            continue;
        for (TextItem& item : valueTexts(state, kind, text))
            items.push_back(std::move(item));
    }
    // Labels: beside the value in a built-in theme, below the slot in a custom layout. Time and
    // date carry none; the date accompanies the time.
    for (int kind : {CpuTemperature, CpuLoad, MemoryLoad, Time, CpuPower, FanSpeed, GpuTemperature, GpuLoad}) {
        if (!state.isCustom()) {
            const QRect& box = record.ShowRect_[kind];
            if (kind != Time && shown(record, kind) && box.isValid())
                items.push_back(
                    {box, elementLabel(kind, state.englishInterface), secondPixelSize(state, kind), ValueFlags});
            continue;
        }
        const int slot = slotOf(state, kind);
        if (slot < 0 || (kind == Time && dateBelowTime(state)))
            continue;
        items.push_back({labelBox(slotRect(state.Hor, slot), slot), elementLabel(kind, state.englishInterface),
                         secondPixelSize(state, kind), DateFlags});
    }
    return items;
}

std::vector<QRect> dirtyAreas(const LayoutState& state, int kind, const QString& text, const QString& lastText)
{
    if (!isElementKind(kind) || text.isEmpty())
        return {};
    if (state.isCustom())
        return customAreas(state, kind, text, lastText);
    if (state.ThemeID == 1 && kind == Date)
        return shown(state.record, Date) && state.record.ShowStringRect_[Date].isValid()
                   ? dateFieldAreas(state, state.record.ShowStringRect_[Date], text, true)
                   : std::vector<QRect>{};
    if (state.ThemeID == 3 && kind == Date)
        return shown(state.record, Date) && state.record.ShowStringRect_[Date].isValid()
                   ? dateFieldAreas(state, state.record.ShowStringRect_[Date], text, false)
                   : std::vector<QRect>{};
    return themeAreas(state, kind, text != lastText);
}

void drawTextItem(QPainter& painter, const TextItem& item)
{
    drawTextItem(painter, item, elementFont(item.pixelSize));
}

void drawTextItem(QPainter& painter, const TextItem& item, const QFont& font)
{
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(item.color));
    painter.drawText(item.rect, item.flags, item.text);
}

} // namespace korvo::compose
