#include "config/startup.h"

#include "config/configstore.h"
#include "config/wholefile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace korvo {
namespace {

// Templates are small; a larger file beside the program is not one.
constexpr qint64 TemplateLimit = 16 * 1024 * 1024;

void copyTemplate(const QString& name, const QString& folder, bool replace)
{
    const QString target = folder + name;
    if (!replace) {
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            return;
        firstUseFlag = true;
    }
    QString why;
    // What an installation replaces stays beside the new file; without that copy it stays as it is.
    const bool kept = !replace || !QFileInfo(target).isFile() ||
                      copyWholeFile(target, target + QStringLiteral(".old"), TemplateLimit, &why);
    if (!kept)
        why = QStringLiteral("no copy of the file it replaces could be kept (%1)").arg(why);
    // Written whole and private, whatever the template's mode: a full disk leaves the user's file
    // as it was, a template readable by all does not show the user's settings to others.
    const bool copied = kept && copyWholeFile(programDirPath() + name, target, TemplateLimit, &why);
    if (copied)
        qDebug("File copied successfully.");
    else
        qDebug("Failed to copy file. %s: %s", qUtf8Printable(name.mid(1)), qUtf8Printable(why));
}

// A Config.ini that could not be read at all (too large, not a file, nothing but damage) would
// give an empty profile: a black preview, and Apply a black frame. It is moved aside as ".bad"
// and the shipped one takes its place.
bool replaceUnreadableConfig(const QString& folder)
{
    IniFile current = IniFile::read(folder + QStringLiteral("/Config.ini"));
    const bool unreadable = current.state() == IniFile::State::Refused ||
                            (current.state() == IniFile::State::Malformed && current.isEmpty());
    if (!unreadable)
        return false;
    if (!current.moveAside()) {
        qWarning("Unable to move %s aside; its layout cannot be used.\n", qUtf8Printable(current.path()));
        return false;
    }
    return true;
}

} // namespace

void prepareStartupData(ThemeProfile& profile)
{
    const QString folder = configDirPath();
    // first.ini is left in place: the main window notes that this user has handled it.
    const bool installed = showAtStart();
    if (installed)
        firstUseFlag = true;
    copyTemplate(QStringLiteral("/Config.ini"), folder, installed || replaceUnreadableConfig(folder));
    copyTemplate(QStringLiteral("/whole.png"), folder, installed);
    loadThemeProfile(profile);
}

} // namespace korvo
