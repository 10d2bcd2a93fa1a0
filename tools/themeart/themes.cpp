// SPDX-License-Identifier: GPL-3.0-or-later
#include "themes.h"

namespace themeart {

using namespace korvo;

namespace {

struct Element
{
    int kind;
    QRect label; // the label's box; null for time and date
    QRect value; // value areas stay within one packet: at most 2044 pixels, or two halves of it
    QRect panel; // the card behind it; null for none
};

Design record(int themeId, int hor, int highlight, std::initializer_list<Element> elements)
{
    Design design;
    LayoutRecord& r = design.record;
    r.highlight = uint8_t(highlight);
    for (const Element& e : elements) {
        r.Show_[e.kind] = 1;
        r.ShowRect_[e.kind] = e.label;
        r.ShowStringRect_[e.kind] = e.value;
        if (e.panel.isValid())
            design.panels.push_back({e.kind, e.panel});
    }
    const char* samples[ElementKindCount] = {"45℃",        "65%",  "20%", "18:46",     "15w",
                                             "2019.12.21", "1000", "",    "2019.12.21"};
    for (int kind = 0; kind < ElementKindCount; ++kind)
        r.String_[kind] = QString::fromUtf8(samples[kind]);
    r.StringD1 = QStringLiteral(":/background/") + pictureStem(themeId, hor) + QStringLiteral(".png");
    r.StringPixmapS = QStringLiteral(":/background/box.png");
    return design;
}

// A card: the label box at its top left, the value below it to the right.
Element card(int kind, int x, int y, int width, bool highlighted = false)
{
    // The highlighted label's larger text needs room below its baseline too: "CPU temp" has a
    // descender.
    const QRect label = highlighted ? QRect(x + 8, y + 3, 96, 24) : QRect(x + 8, y + 8, 72, 18);
    return {kind, label, QRect(x + width - 78, y + 27, 68, 30), QRect(x, y, width, 60)};
}

// A square tile: the label box on top, the value centred below it.
Element tile(int kind, int x, int y, int valueTop)
{
    // The label box spans nearly the whole tile: five Chinese characters need room before its
    // rounded ends.
    return {kind, QRect(x + 2, y + 10, 70, 18), QRect(x + 3, y + valueTop, 68, 30), QRect(x, y, 74, valueTop + 38)};
}

} // namespace

QString pictureStem(int themeId, int hor)
{
    return QStringLiteral("theme%1_%2").arg(themeId + 1).arg(hor == 1 ? QLatin1Char('v') : QLatin1Char('h'));
}

Design themeDesign(int themeId, int hor)
{
    const QRect none;
    if (hor == 0) {
        switch (themeId) {
        case 0:
            return record(0, 0, CpuTemperature,
                          {{Time, none, QRect(12, 5, 68, 30)},
                           {Date, none, QRect(208, 13, 100, 17)},
                           card(CpuTemperature, 8, 40, 148, true),
                           card(CpuLoad, 164, 40, 148),
                           card(MemoryLoad, 8, 106, 148),
                           card(CpuPower, 164, 106, 148)});
        case 1:
            return record(
                1, 0, Time,
                {{Time, none, QRect(60, 34, 200, 60), QRect(44, 24, 232, 122)}, {Date, none, QRect(60, 102, 200, 36)}});
        case 2:
            return record(2, 0, CpuPower,
                          {{Time, none, QRect(12, 5, 68, 30)},
                           {Date, none, QRect(208, 13, 100, 17)},
                           {CpuPower, QRect(192, 62, 80, 22), QRect(172, 88, 120, 34), QRect(164, 40, 148, 124)},
                           card(CpuTemperature, 8, 40, 148),
                           card(CpuLoad, 8, 106, 148)});
        default:
            return record(3, 0, Time,
                          {{Time, none, QRect(20, 48, 120, 34), QRect(8, 10, 144, 150)},
                           {Date, none, QRect(20, 92, 120, 24)},
                           tile(CpuTemperature, 160, 10, 36),
                           tile(CpuLoad, 240, 10, 36),
                           tile(MemoryLoad, 160, 90, 36),
                           tile(CpuPower, 240, 90, 36)});
        }
    }
    switch (themeId) {
    case 0:
        return record(0, 1, CpuTemperature,
                      {{Time, none, QRect(10, 8, 68, 30)},
                       {Date, none, QRect(88, 15, 76, 17)},
                       card(CpuTemperature, 8, 48, 154, true),
                       card(CpuLoad, 8, 116, 154),
                       card(MemoryLoad, 8, 184, 154),
                       card(CpuPower, 8, 252, 154)});
    case 1:
        return record(
            1, 1, Time,
            {{Time, none, QRect(10, 100, 150, 60), QRect(6, 86, 158, 124)}, {Date, none, QRect(10, 168, 150, 32)}});
    case 2:
        return record(2, 1, CpuPower,
                      {{Time, none, QRect(10, 8, 68, 30)},
                       {Date, none, QRect(88, 15, 76, 17)},
                       {CpuPower, QRect(45, 96, 80, 22), QRect(25, 122, 120, 34), QRect(8, 46, 154, 144)},
                       card(CpuTemperature, 8, 194, 154),
                       card(CpuLoad, 8, 258, 154)});
    default:
        return record(3, 1, Time,
                      {{Time, none, QRect(25, 38, 120, 34), QRect(8, 10, 154, 112)},
                       {Date, none, QRect(25, 82, 120, 24)},
                       tile(CpuTemperature, 8, 132, 44),
                       tile(CpuLoad, 88, 132, 44),
                       tile(MemoryLoad, 8, 226, 44),
                       tile(CpuPower, 88, 226, 44)});
    }
}

} // namespace themeart
