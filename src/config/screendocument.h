// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutstate.h"
#include "config/themeprofile.h"

namespace korvo {

// Puts an applied layout's mode bytes and record where the profile keeps them.
void storeInProfile(ThemeProfile& profile, const LayoutState& applied);

// What one apply puts into Config.ini: taken on the GUI thread, written on whichever thread can
// wait for the disk.
class ConfigWrite
{
public:
    // False (logged with the reason) when the file could not be written; it is then as it was.
    bool write() const;

private:
    friend class ScreenDocument;
    ThemeProfile profile_;
    CustomShowTable customShow_ = EmptyCustomShow;
    int curRectId_ = 1;
};

// What the screen is meant to show, as the user last applied it: the stored profile, the slot
// assignment, the free text's row and the committed snapshot the renderers read. Read from
// Config.ini once at start; from then on only an apply that reached the screen changes it, and
// each such change is one write of the file. GUI thread; the snapshot may be read anywhere.
class ScreenDocument
{
public:
    // Puts the templates in place when due and reads the configuration.
    void load();

    const ThemeProfile& profile() const { return profile_; }
    int curRectId() const { return committedState().curRectId; }
    const CustomShowTable& customShow() const { return customShow_; }
    const CommittedLayout& committed() const { return committed_; }
    LayoutState committedState() const { return *committed_.get(); }

    // The language the texts of the frames follow, and the shipped free text with them. Called
    // before the profile is read for the editor.
    void setEnglishInterface(bool english);

    // The layout whose frame has just landed on the screen becomes the committed one. Returns
    // what Config.ini is to hold for it (the profile, the slots and the text row), to be written
    // in one go on a thread that can wait for the disk; what the screen shows is committed
    // whether or not that write succeeds.
    [[nodiscard]] ConfigWrite commit(const LayoutState& applied);

private:
    ThemeProfile profile_;
    CustomShowTable customShow_ = EmptyCustomShow;
    CommittedLayout committed_;
};

} // namespace korvo
