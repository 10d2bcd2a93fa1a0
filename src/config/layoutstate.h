// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The renderers' snapshot of what the screen shows, built from the stored types.

#include "config/layoutrecord.h"

#include <memory>
#include <mutex>

namespace korvo {

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
