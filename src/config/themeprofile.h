// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/inifile.h"
#include "config/layoutrecord.h"

#include <array>
#include <cstdint>

namespace korvo {

// Everything that says what the screen shows, as stored in Config.ini.
struct ThemeProfile
{
    uint8_t Mode = 0;                                 // 0 built-in theme, 1 custom layout
    uint8_t Hor = 0;                                  // 0 landscape, 1 portrait
    uint8_t ThemeID = 0;                              // built-in theme 0..3
    std::array<LayoutRecord, ThemeCount> portrait{};  // groups V1..V4
    std::array<LayoutRecord, ThemeCount> landscape{}; // groups H1..H4
    uint8_t Style = 0;                                // custom style 0 or 1
    std::array<LayoutRecord, 2> custom{};             // groups CUSTOM0, CUSTOM1

    bool isPortrait() const { return Hor == 1; }
    bool isCustom() const { return Mode == 1; }

    bool operator==(const ThemeProfile& other) const;
    bool operator!=(const ThemeProfile& other) const { return !(*this == other); }
};

// Writes the mode bytes, H1..H4, V1..V4 and CUSTOM0. CUSTOM1 keeps whatever the file holds.
// Failures are logged and give false.
bool saveThemeProfile(const ThemeProfile& profile);
// The same keys, set in a file the caller writes.
void putThemeProfile(IniFile& file, const ThemeProfile& profile);

// One layout group, its keys in the order the profile writes them.
void writeLayoutGroup(IniFile& file, const QString& group, const LayoutRecord& record);

// Reads the whole profile. Missing keys give their defaults; values of the wrong type or that
// would index outside a table give the field's default, reported in one log line.
void loadThemeProfile(ThemeProfile& profile);

} // namespace korvo
