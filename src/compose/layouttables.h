// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixed geometry and the free text's colours and sizes that the renderers and the editor
// lay texts out with.

#include "config/layoutrecord.h"

#include <QRect>

#include <array>
#include <cstdint>

namespace korvo::compose {

constexpr int BaseTextPixelSize = 18;

// Free-text colours as 0xAARRGGBB, in the order of the colour bar: white, black, red,
// yellow, blue, green.
extern const std::array<uint32_t, TextColorCount> TextColorTable;
// Free-text pixel heights on the device.
extern const std::array<int, TextSizeCount> TextSizeTable;
// The rows the free text may stand in, per orientation.
extern const std::array<std::array<QRect, StringRowCount>, OrientationCount> StringRowRects;
// The five slots of the custom layout, per orientation.
extern const std::array<std::array<QRect, SlotCount>, OrientationCount> SlotRects;

// Values read from a file may be anything; these give the field's default for a value that
// would index outside its table.
uint32_t textColorAt(int index);       // white when out of range
int textSizeAt(int index);             // 17 when out of range
QRect slotRect(int hor, int slot);     // hor out of range: landscape; slot out of range: null rect
QRect stringRowRect(int hor, int row); // row out of range: row 1

} // namespace korvo::compose
