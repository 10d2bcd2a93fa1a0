// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/themeprofile.h"

#include "config/configstore.h"
#include "config/settingsreader.h"

namespace korvo {
namespace {

const char* const CustomGroups[2] = {"CUSTOM0", "CUSTOM1"};

QString indexed(const char* key, int n)
{
    return QLatin1String(key) + QString::number(n);
}

// The custom groups always show the free text, whatever the file says.
void readRecord(SettingsReader& reader, const QString& group, LayoutRecord& r, bool custom)
{
    reader.beginGroup(group);
    r.XPt = reader.integer(QStringLiteral("XPt"), 0, -CoordinateLimit, CoordinateLimit);
    r.YPt = reader.integer(QStringLiteral("YPt"), 0, -CoordinateLimit, CoordinateLimit);
    r.XZoom = reader.integer(QStringLiteral("XZoom"), 0, -ZoomLimit, ZoomLimit);
    r.YZoom = reader.integer(QStringLiteral("YZoom"), 0, -ZoomLimit, ZoomLimit);
    r.highlight = reader.byte(QStringLiteral("highlight"), 0, ElementKindCount - 1);
    for (int n = 0; n < ElementKindCount; ++n) {
        r.Show_[n] = reader.byte(indexed("Show_", n), 0, UINT8_MAX);
        if (custom && n == FreeText)
            r.Show_[n] = 1;
        r.Show2_[n] = reader.byte(indexed("Show2_", n), 0, UINT8_MAX);
        r.ShowRect_[n] = reader.rect(indexed("ShowRect_", n));
        r.ShowStringRect_[n] = reader.rect(indexed("ShowStringRect_", n));
        r.String_[n] = reader.string(indexed("String_", n));
    }
    r.StringPixmap = reader.string(QStringLiteral("StringPixmap"));
    r.StringD1 = reader.string(QStringLiteral("StringD1"));
    r.StringPixmapS = reader.string(QStringLiteral("StringPixmapS"));
    r.Size = reader.byte(QStringLiteral("Size"), 0, TextSizeCount - 1);
    r.Color = reader.byte(QStringLiteral("Color"), 0, TextColorCount - 1);
    reader.endGroup();
}

} // namespace

void writeLayoutGroup(IniFile& file, const QString& group, const LayoutRecord& r)
{
    auto key = [&group](const QString& name) { return group + QLatin1Char('/') + name; };
    file.setValue(key(QStringLiteral("XPt")), r.XPt);
    file.setValue(key(QStringLiteral("YPt")), r.YPt);
    file.setValue(key(QStringLiteral("XZoom")), r.XZoom);
    file.setValue(key(QStringLiteral("YZoom")), r.YZoom);
    file.setValue(key(QStringLiteral("highlight")), int(r.highlight));
    for (int n = 0; n < ElementKindCount; ++n) {
        file.setValue(key(indexed("Show_", n)), int(r.Show_[n]));
        file.setValue(key(indexed("Show2_", n)), int(r.Show2_[n]));
        file.setValue(key(indexed("ShowRect_", n)), r.ShowRect_[n]);
        file.setValue(key(indexed("ShowStringRect_", n)), r.ShowStringRect_[n]);
        file.setValue(key(indexed("String_", n)), r.String_[n]);
    }
    file.setValue(key(QStringLiteral("StringPixmap")), r.StringPixmap);
    file.setValue(key(QStringLiteral("StringD1")), r.StringD1);
    file.setValue(key(QStringLiteral("StringPixmapS")), r.StringPixmapS);
    file.setValue(key(QStringLiteral("Size")), int(r.Size));
    file.setValue(key(QStringLiteral("Color")), int(r.Color));
}

bool ThemeProfile::operator==(const ThemeProfile& o) const
{
    return Mode == o.Mode && Hor == o.Hor && ThemeID == o.ThemeID && portrait == o.portrait &&
           landscape == o.landscape && Style == o.Style && custom == o.custom;
}

void putThemeProfile(IniFile& file, const ThemeProfile& profile)
{
    file.setValue(QStringLiteral("Config/Mode"), int(profile.Mode));
    file.setValue(QStringLiteral("Config/ThemeID"), int(profile.ThemeID));
    file.setValue(QStringLiteral("Config/Style"), int(profile.Style));
    file.setValue(QStringLiteral("Config/Hor"), int(profile.Hor));
    for (int n = 0; n < ThemeCount; ++n)
        writeLayoutGroup(file, indexed("H", n + 1), profile.landscape[n]);
    for (int n = 0; n < ThemeCount; ++n)
        writeLayoutGroup(file, indexed("V", n + 1), profile.portrait[n]);
    writeLayoutGroup(file, QLatin1String(CustomGroups[0]), profile.custom[0]);
}

bool saveThemeProfile(const ThemeProfile& profile)
{
    IniFile file = openConfig();
    putThemeProfile(file, profile);
    return file.write();
}

void loadThemeProfile(ThemeProfile& profile)
{
    SettingsReader reader(openConfig());
    profile.Mode = reader.byte(QStringLiteral("Config/Mode"), 0, 1);
    profile.ThemeID = reader.byte(QStringLiteral("Config/ThemeID"), 0, ThemeCount - 1);
    profile.Style = reader.byte(QStringLiteral("Config/Style"), 0, StyleCount - 1);
    profile.Hor = reader.byte(QStringLiteral("Config/Hor"), 0, OrientationCount - 1);
    for (int n = 0; n < ThemeCount; ++n)
        readRecord(reader, indexed("H", n + 1), profile.landscape[n], false);
    for (int n = 0; n < ThemeCount; ++n)
        readRecord(reader, indexed("V", n + 1), profile.portrait[n], false);
    for (int n = 0; n < 2; ++n)
        readRecord(reader, QLatin1String(CustomGroups[n]), profile.custom[n], true);
    reader.reportProblems();
}

} // namespace korvo
