// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include "config/configstore.h"
#include "config/screendocument.h"
#include "config/startup.h"
#include "config/themeprofile.h"
#include "editor/layoutmodel.h"
#include "picture/picturereader.h"
#include "platform/singleinstance.h"

#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace korvo::tftctl {
namespace {

enum ExitCode
{
    Success = 0,
    UsageError = 1,
    BadPicture = 4,
    NotStored = 5,
};

// The figures by the names scripts use, in the window's order of its boxes.
struct Figure
{
    const char* name;
    ElementKind kind;
};
constexpr Figure Figures[] = {{"cpu-temperature", CpuTemperature},
                              {"cpu-load", CpuLoad},
                              {"memory-load", MemoryLoad},
                              {"time", Time},
                              {"cpu-power", CpuPower},
                              {"date", Date},
                              {"fan-speed", FanSpeed},
                              {"gpu-temperature", GpuTemperature},
                              {"gpu-load", GpuLoad}};
// The window refuses a sixth figure for the same reason: the custom layout has five places,
// and time and date share one. The free text has its own row.
constexpr int MostFigures = 5;
// The free text's row holds about this many characters; fewer when the screen stands upright.
constexpr int LongestText = 60;
constexpr int LongestPortraitText = 40;
// Pictures are only checked here; the program decodes them at the size it needs.
constexpr QSize LargestPicture(2048, 2048);

int fail(int code, const QString& message)
{
    std::fprintf(stderr, "korvo-tftctl: %s\n", qUtf8Printable(message));
    return code;
}

int figureKind(const QString& name)
{
    for (const Figure& figure : Figures) {
        if (name == QLatin1String(figure.name))
            return figure.kind;
    }
    return -1;
}

int countedFigures(const QList<int>& kinds)
{
    const bool both = kinds.contains(Time) && kinds.contains(Date);
    return int(kinds.size()) - (both ? 1 : 0);
}

// The stored profile as the program would find it at its next start: the shipped settings when
// the user has none yet, or right after an installation (which the program's own first start
// then no longer repeats over what is stored here).
ThemeProfile loadProfile()
{
    ThemeProfile profile;
    prepareStartupData(profile);
    if (showAtStart())
        removeFirstRunMarker();
    return profile;
}

int printSettings()
{
    const ThemeProfile profile = loadProfile();
    const LayoutRecord& custom = profile.custom[0];
    QStringList figures;
    for (const Figure& figure : Figures) {
        if (custom.Show_[size_t(figure.kind)] == 1)
            figures << QLatin1String(figure.name);
    }
    std::printf("layout: %s\n",
                profile.isCustom() ? "custom" : qPrintable(QStringLiteral("theme %1").arg(profile.ThemeID + 1)));
    std::printf("orientation: %s\n", profile.isPortrait() ? "portrait" : "landscape");
    std::printf("picture: %s\n", custom.StringPixmap.isEmpty() ? "shipped" : qUtf8Printable(custom.StringPixmap));
    std::printf("figures: %s\n", figures.isEmpty() ? "none" : qUtf8Printable(figures.join(QLatin1Char(','))));
    std::printf("text: %s\n", qUtf8Printable(custom.String_[FreeText]));
    return Success;
}

// Shows exactly `kinds` in the custom layout's first style, through the same slot rules as the
// window's boxes, so that both leave the same slot assignment behind.
bool storeFigures(ThemeProfile& profile, const QList<int>& kinds)
{
    profile.Mode = 1;
    profile.Style = 0;
    ScreenDocument document;
    document.load();
    LayoutModel model;
    model.startFrom(document);
    model.LoadLayout(profile, true);
    for (const Figure& figure : Figures) {
        if (model.working().record.Show_[size_t(figure.kind)] == 1 && !kinds.contains(figure.kind))
            model.SetElementShown(figure.kind, 0);
    }
    for (int kind : kinds)
        model.SetElementShown(kind, 1);
    profile.custom[0] = model.working().record;
    IniFile file = openConfig();
    putThemeProfile(file, profile);
    putCustomShow(file, model.working().customShow);
    return file.write();
}

// Returns the exit code of a failure, or Success once `profile` holds the change.
int change(const QString& key, const QStringList& values, ThemeProfile& profile)
{
    const QString value = values.join(QLatin1Char(' '));
    LayoutRecord& custom = profile.custom[0];
    if (key == QLatin1String("theme")) {
        bool ok = false;
        const int theme = value.toInt(&ok);
        if (!ok || theme < 1 || theme > ThemeCount)
            return fail(UsageError, QStringLiteral("the built-in themes are 1 to 4, not '%1'").arg(value));
        profile.Mode = 0;
        profile.ThemeID = uint8_t(theme - 1);
    } else if (key == QLatin1String("custom") && values.isEmpty()) {
        profile.Mode = 1;
    } else if (key == QLatin1String("orientation") &&
               (value == QLatin1String("landscape") || value == QLatin1String("portrait"))) {
        profile.Hor = value == QLatin1String("portrait") ? 1 : 0;
        if (profile.isPortrait() && custom.String_[FreeText].size() > LongestPortraitText)
            custom.String_[FreeText].truncate(LongestPortraitText);
    } else if (key == QLatin1String("picture") && values.size() == 1) {
        QString path;
        if (value != QLatin1String("none")) {
            QString problem;
            if (picture::readWithin(value, LargestPicture, &problem).isNull())
                return fail(BadPicture, QStringLiteral("cannot read the picture %1: %2").arg(value, problem));
            path = QFileInfo(value).absoluteFilePath();
        }
        profile.Mode = 1;
        custom.StringPixmap = path;
        // A new picture starts fitted, as when it is chosen in the window.
        custom.XPt = custom.YPt = custom.XZoom = custom.YZoom = 0;
    } else if (key == QLatin1String("text")) {
        const int longest = profile.isPortrait() ? LongestPortraitText : LongestText;
        if (value.size() > longest)
            return fail(UsageError, QStringLiteral("the text has %1 characters; the screen's row holds at most %2")
                                        .arg(value.size())
                                        .arg(longest));
        for (const QChar c : value) {
            if (c.category() == QChar::Other_Control)
                return fail(UsageError, QStringLiteral("the text is one line without control characters"));
        }
        profile.Mode = 1;
        custom.String_[FreeText] = value;
    } else {
        return fail(UsageError, QStringLiteral("cannot read 'set %1'; see korvo-tftctl --help")
                                    .arg((QStringList{key} + values).join(QLatin1Char(' '))));
    }
    return Success;
}

int setFigures(const QStringList& values, ThemeProfile& profile)
{
    QList<int> kinds;
    const QString list = values.join(QLatin1Char(','));
    if (list != QLatin1String("none")) {
        for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const int kind = figureKind(name);
            if (kind < 0)
                return fail(UsageError, QStringLiteral("unknown figure '%1'; see korvo-tftctl --help").arg(name));
            if (!kinds.contains(kind))
                kinds << kind;
        }
        if (kinds.isEmpty())
            return fail(UsageError, QStringLiteral("no figure given; 'none' hides them all"));
    }
    if (countedFigures(kinds) > MostFigures)
        return fail(UsageError,
                    QStringLiteral("at most %1 figures are shown, time and date counting as one").arg(MostFigures));
    return storeFigures(profile, kinds) ? Success : fail(NotStored, QStringLiteral("the settings could not be stored"));
}

} // namespace

const char* const SettingsHelp =
    "What korvo-tft shows (stored in the settings it reads at its start; a running korvo-tft of\n"
    "this user is asked to show them at once):\n"
    "\n"
    "  settings                          the stored settings, one per line\n"
    "  set theme 1|2|3|4                 a built-in theme\n"
    "  set custom                        the custom layout\n"
    "  set orientation landscape|portrait\n"
    "  set picture FILE|none             the custom layout's background (none: the shipped one);\n"
    "                                    FILE must stay where it is, readable by korvo-tft\n"
    "  set figures NAME,...|none         the custom layout's figures, at most five, time and date\n"
    "                                    counting as one: cpu-temperature cpu-load memory-load time\n"
    "                                    cpu-power date fan-speed gpu-temperature gpu-load\n"
    "  set text TEXT                     the custom layout's line of free text, at most 60\n"
    "                                    characters (40 in portrait)\n"
    "\n"
    "  picture, figures and text switch to the custom layout. For the system service, run these\n"
    "  as its user with its folders (see the README's \"Headless\" section).\n"
    "\n"
    "Exit codes: 0 stored, 1 usage, 4 unreadable picture, 5 the settings could not be stored.\n";

bool isSettingsCommand(const QStringList& words)
{
    return !words.isEmpty() && (words.first() == QLatin1String("settings") || words.first() == QLatin1String("set"));
}

int runSettingsCommand(QStringList words)
{
    const QString command = words.takeFirst();
    if (command == QLatin1String("settings")) {
        if (!words.isEmpty())
            return fail(UsageError, QStringLiteral("'settings' takes no arguments"));
        return printSettings();
    }
    if (words.isEmpty())
        return fail(UsageError, QStringLiteral("'set' needs what to set; see korvo-tftctl --help"));
    const QString key = words.takeFirst();
    ThemeProfile profile = loadProfile();
    int code = Success;
    if (key == QLatin1String("figures")) {
        code = setFigures(words, profile);
    } else {
        code = change(key, words, profile);
        if (code == Success && !saveThemeProfile(profile))
            code = fail(NotStored, QStringLiteral("the settings could not be stored"));
    }
    if (code != Success)
        return code;
    if (platform::SingleInstance::askRunningCopy("apply") == "applying")
        std::puts("Stored; the running korvo-tft shows it now.");
    else
        std::puts("Stored; korvo-tft shows it at its next start.");
    return Success;
}

} // namespace korvo::tftctl
