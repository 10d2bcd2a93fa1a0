#pragma once

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

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
};
constexpr int ElementKindCount = 9;
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
constexpr int BaseTextPixelSize = 18;

// The family of every text, on the screen and in the windows.
constexpr const char* FontFamily = "Microsoft YaHei";

// A rectangle given by its inclusive corners, the way geometry is written throughout.
constexpr QRect inclusiveRect(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Free-text colours as 0xAARRGGBB, in the order of the colour bar: white, black, red,
// yellow, blue, green.
extern const std::array<uint32_t, TextColorCount> TextColorTable;
// Free-text pixel heights on the device.
extern const std::array<int, TextSizeCount> TextSizeTable;
// The rows the free text may stand in, per orientation.
extern const std::array<std::array<QRect, StringRowCount>, OrientationCount> StringRowRects;
// The five slots of the custom layout, per orientation.
extern const std::array<std::array<QRect, SlotCount>, OrientationCount> SlotRects;

// Element kind per custom style (row) and slot (column); -1 marks an empty slot.
using CustomShowTable = std::array<std::array<int, SlotCount>, StyleCount>;
constexpr CustomShowTable EmptyCustomShow{{{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}}};
constexpr CustomShowTable DefaultCustomShow{{{0, 1, 3, 2, 4}, {-1, -1, 0, -1, -1}}};

// Values read from a file may be anything; these give the field's default for a value that
// would index outside its table.
uint32_t textColorAt(int index);       // white when out of range
int textSizeAt(int index);             // 17 when out of range
QRect slotRect(int hor, int slot);     // hor out of range: landscape; slot out of range: null rect
QRect stringRowRect(int hor, int row); // row out of range: row 1
int validCustomShowEntry(int kind);    // -1 unless 0..8

// What the screen shows: one side of the editor's state, working or committed.
struct LayoutState
{
    LayoutRecord record;
    uint8_t ThemeID = 0; // built-in theme 0..3
    uint8_t Mode = 0;    // 0 built-in theme, 1 custom layout
    uint8_t Hor = 0;     // 0 landscape, 1 portrait
    uint8_t Style = 0;   // custom style 0 (five slots) or 1 (centre slot alone)
    CustomShowTable customShow = EmptyCustomShow;
    int curRectId = 1; // free-text row 0..2
    bool englishInterface = false;

    bool isPortrait() const { return Hor == 1; }
    bool isCustom() const { return Mode == 1; }

    bool operator==(const LayoutState& other) const;
    bool operator!=(const LayoutState& other) const { return !(*this == other); }
};

// The committed layout as the renderers on other threads see it: an immutable value swapped
// whole, so a reader never sees half of an apply.
class CommittedLayout
{
public:
    CommittedLayout();
    std::shared_ptr<const LayoutState> get() const;
    void set(const LayoutState& state);

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const LayoutState> state_;
};

} // namespace korvo
