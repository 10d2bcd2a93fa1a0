// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/screendocument.h"

#include "config/configstore.h"
#include "config/startup.h"

namespace korvo {
namespace {

// The layout the profile says the screen shows.
LayoutState shownBy(const ThemeProfile& profile)
{
    LayoutState state;
    const int theme = profile.ThemeID < ThemeCount ? profile.ThemeID : 0;
    if (profile.isCustom())
        state.record = profile.custom[0];
    else
        state.record = profile.isPortrait() ? profile.portrait[theme] : profile.landscape[theme];
    state.ThemeID = profile.ThemeID;
    state.Mode = profile.Mode;
    state.Hor = profile.Hor;
    state.Style = profile.Style;
    return state;
}

} // namespace

void storeInProfile(ThemeProfile& profile, const LayoutState& applied)
{
    profile.ThemeID = applied.ThemeID;
    profile.Mode = applied.Mode;
    profile.Hor = applied.Hor;
    profile.Style = applied.Style;
    if (applied.isCustom())
        profile.custom[0] = applied.record;
    else if (applied.ThemeID < ThemeCount)
        (applied.isPortrait() ? profile.portrait : profile.landscape)[applied.ThemeID] = applied.record;
}

void ScreenDocument::load()
{
    prepareStartupData(profile_);
    customShow_ = loadCustomShow();
    LayoutState state = shownBy(profile_);
    state.customShow = customShow_;
    state.curRectId = korvo::curRectId();
    state.englishInterface = committedState().englishInterface;
    committed_.set(state);
}

void ScreenDocument::setEnglishInterface(bool english)
{
    LayoutState state = committedState();
    state.englishInterface = english;
    committed_.set(state);
}

ConfigWrite ScreenDocument::commitUnsaved(const LayoutState& applied)
{
    committed_.set(applied);
    storeInProfile(profile_, applied);
    customShow_ = applied.customShow;
    ConfigWrite write;
    write.profile_ = profile_;
    write.customShow_ = customShow_;
    write.curRectId_ = applied.curRectId;
    return write;
}

bool ConfigWrite::write() const
{
    IniFile file = openConfig();
    putThemeProfile(file, profile_);
    putCustomShow(file, customShow_);
    file.setValue(QStringLiteral("Config/CurRectID"), curRectId_);
    return file.write();
}

} // namespace korvo
