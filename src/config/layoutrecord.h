#pragma once

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

namespace korvo {

// Index of a figure; every per-figure array is indexed by it.
enum ElementKind : int
{
    CpuTemperature = 0,
    CpuLoad = 1,
    MemoryLoad = 2,
    Time = 3,
    CpuPower = 4,
    Date = 5,
    FanSpeed = 6,
    FreeText = 7,
    SecondString = 8,
    // Added after the first nine, so that a layout stored by an older version keeps its meaning.
    GpuTemperature = 9,
    GpuLoad = 10,
};
constexpr int ElementKindCount = 11;
constexpr bool isElementKind(int kind)
{
    return kind >= 0 && kind < ElementKindCount;
}

// One screen layout: background placement, per-figure flags, rectangles and texts, pictures
// and the free text's colour and size. Rectangles are device pixels with inclusive corners.
struct LayoutRecord
{
    int32_t XPt = 0;
    int32_t YPt = 0;
    int32_t XZoom = 0;
    int32_t YZoom = 0;
    uint8_t highlight = 0;
    std::array<uint8_t, ElementKindCount> Show_{};
    std::array<uint8_t, ElementKindCount> Show2_{};
    std::array<QRect, ElementKindCount> ShowRect_{};
    std::array<QRect, ElementKindCount> ShowStringRect_{};
    std::array<QString, ElementKindCount> String_{};
    QString StringPixmap;
    QString StringD1;
    QString StringPixmapS;
    uint8_t Color = 0;
    uint8_t Size = 0;

    bool operator==(const LayoutRecord& other) const;
    bool operator!=(const LayoutRecord& other) const { return !(*this == other); }
};

constexpr int OrientationCount = 2; // 0 landscape 320 x 170, 1 portrait 170 x 320
constexpr int SlotCount = 5;        // slot 2 is the centre slot
constexpr int CentreSlot = 2;
constexpr int StringRowCount = 3;
constexpr int TextColorCount = 6;
constexpr int TextSizeCount = 3;
constexpr int ThemeCount = 4;
constexpr int StyleCount = 2;

// The family of every text, on the screen and in the windows.
constexpr const char* FontFamily = "Microsoft YaHei";

// A rectangle given by its inclusive corners, the way geometry is written throughout.
constexpr QRect inclusiveRect(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Element kind per custom style (row) and slot (column); -1 marks an empty slot.
using CustomShowTable = std::array<std::array<int, SlotCount>, StyleCount>;
constexpr CustomShowTable EmptyCustomShow{{{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}}};
constexpr CustomShowTable DefaultCustomShow{{{0, 1, 3, 2, 4}, {-1, -1, 0, -1, -1}}};

// A slot entry read from a file may be anything: -1 unless an element kind.
int validCustomShowEntry(int kind);

} // namespace korvo
