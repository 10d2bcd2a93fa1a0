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

// The free text shipped in the template, in each interface language: English, then Chinese.
const QString ShippedFreeTexts[2] = {QStringLiteral("Hello from Korvo TFT"), QStringLiteral("Korvo TFT 向你问好")};

// A free text that is still the shipped one, in either language, is shown in the interface's
// language; one the user typed is theirs and stays as it is.
void followLanguage(QString& freeText, bool english)
{
    if (freeText == ShippedFreeTexts[0] || freeText == ShippedFreeTexts[1])
        freeText = ShippedFreeTexts[english ? 0 : 1];
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
    setEnglishInterface(state.englishInterface);
}

void ScreenDocument::setEnglishInterface(bool english)
{
    for (LayoutRecord& custom : profile_.custom)
        followLanguage(custom.String_[FreeText], english);
    LayoutState state = committedState();
    state.englishInterface = english;
    if (state.isCustom())
        followLanguage(state.record.String_[FreeText], english);
    committed_.set(state);
}

ConfigWrite ScreenDocument::commit(const LayoutState& applied)
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
