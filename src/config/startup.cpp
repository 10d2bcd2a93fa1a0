// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/startup.h"

#include "config/configstore.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace korvo {
namespace {

void copyTemplate(const QString& name, const QString& folder, bool replace)
{
    const QString target = folder + name;
    if (replace) {
        if (QFileInfo::exists(target) && !QFile::remove(target))
            qWarning("Unable to remove %s.\n", qUtf8Printable(target));
    } else {
        if (QFileInfo::exists(target))
            return;
        firstUseFlag = true;
    }
    // The copy would keep the template's mode: a read-only template would give a file that can
    // never be saved, one readable by all would show the user's settings to others.
    if (!QFile::copy(programDirPath() + name, target))
        qDebug("Failed to copy file.");
    else if (!QFile::setPermissions(target, OwnerOnlyFile))
        qWarning("Unable to make %s private.\n", qUtf8Printable(target));
    else
        qDebug("File copied successfully.");
}

} // namespace

void prepareStartupData(ThemeProfile& profile)
{
    const QString folder = configDirPath();
    // first.ini is left in place: the main window removes it after its own first-run handling.
    const bool installed = showAtStart();
    if (installed)
        firstUseFlag = true;
    for (const char* name : {"/Config.ini", "/whole.png"})
        copyTemplate(QLatin1String(name), folder, installed);
    loadThemeProfile(profile);
}

} // namespace korvo
