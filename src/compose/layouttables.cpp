// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/layouttables.h"

namespace korvo::compose {

const std::array<uint32_t, TextColorCount> TextColorTable{0xFFFFFFFF, 0xFF000000, 0xFFFF6422,
                                                          0xFFF5E021, 0xFF4283E4, 0xFF3AC8A3};

const std::array<int, TextSizeCount> TextSizeTable{17, 15, 12};

const std::array<std::array<QRect, StringRowCount>, OrientationCount> StringRowRects{{
    {inclusiveRect(10, 10, 309, 49), inclusiveRect(10, 63, 309, 102), inclusiveRect(10, 115, 309, 154)},
    {inclusiveRect(10, 36, 159, 73), inclusiveRect(10, 131, 159, 168), inclusiveRect(10, 225, 159, 262)},
}};

const std::array<std::array<QRect, SlotCount>, OrientationCount> SlotRects{{
    {inclusiveRect(10, 16, 91, 45), inclusiveRect(10, 116, 91, 145), inclusiveRect(120, 60, 201, 89),
     inclusiveRect(227, 116, 308, 145), inclusiveRect(227, 16, 308, 45)},
    {inclusiveRect(1, 18, 67, 41), inclusiveRect(1, 271, 67, 294), inclusiveRect(29, 145, 140, 174),
     inclusiveRect(101, 271, 167, 294), inclusiveRect(101, 18, 167, 41)},
}};

uint32_t textColorAt(int index)
{
    return index >= 0 && index < TextColorCount ? TextColorTable[index] : TextColorTable[0];
}

int textSizeAt(int index)
{
    return index >= 0 && index < TextSizeCount ? TextSizeTable[index] : TextSizeTable[0];
}

QRect slotRect(int hor, int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return QRect();
    return SlotRects[hor == 1 ? 1 : 0][slot];
}

QRect stringRowRect(int hor, int row)
{
    return StringRowRects[hor == 1 ? 1 : 0][row >= 0 && row < StringRowCount ? row : 1];
}

} // namespace korvo::compose
