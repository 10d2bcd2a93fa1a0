// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/configstore.h"

#include "config/settingsreader.h"
#include "config/wholefile.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <mutex>

namespace korvo {

std::atomic<bool> firstUseFlag{false};
const QFile::Permissions OwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
const QFile::Permissions OwnerOnlyFolder = OwnerOnlyFile | QFile::ExeOwner | QFile::ExeUser;

namespace {

const QString FolderName = QStringLiteral("/Korvo TFT");

std::mutex programDirMutex;
QString programDirOverride;
QString configFileOverride;

QString ensureFolder(const QString& parent)
{
    const QString path = parent + FolderName;
    if (!QDir(path).exists()) {
        if (QDir(path).mkpath(QStringLiteral("."))) {
            firstUseFlag = true;
            if (!QFile::setPermissions(path, OwnerOnlyFolder))
                qWarning("Unable to make the folder %s private.\n", qUtf8Printable(path));
        } else {
            qWarning("Unable to create the folder %s.\n", qUtf8Printable(path));
        }
    }
    return path;
}

QString firstRunMarkerPath()
{
    return programDirPath() + QStringLiteral("/first.ini");
}

// Where the user notes that this installation's marker was handled: its modification time, which
// the next installation changes. A file of its own rather than a key of Config.ini, which the
// first run replaces.
QString markerHandledPath()
{
    return configDirPath() + QStringLiteral("/first-run-handled");
}

QByteArray markerStamp(const QFileInfo& marker)
{
    return QByteArray::number(marker.lastModified().toMSecsSinceEpoch());
}

const char* const CustomShowKeys[StyleCount][SlotCount] = {
    {"CustomShow/0-0", "CustomShow/0-1", "CustomShow/0-2", "CustomShow/0-3", "CustomShow/0-4"},
    {"CustomShow/1-0", "CustomShow/1-1", "CustomShow/1-2", "CustomShow/1-3", "CustomShow/1-4"},
};

} // namespace

QString configDirPath()
{
    return ensureFolder(platform::configParentDir());
}

QString homeDataDirPath()
{
    return ensureFolder(platform::homeDataParentDir());
}

QString configFilePath()
{
    {
        std::lock_guard<std::mutex> lock(programDirMutex);
        if (!configFileOverride.isEmpty())
            return configFileOverride;
    }
    return configDirPath() + QStringLiteral("/Config.ini");
}

void setConfigFileOverride(const QString& path)
{
    std::lock_guard<std::mutex> lock(programDirMutex);
    configFileOverride = path;
}

QString programDirPath()
{
    {
        std::lock_guard<std::mutex> lock(programDirMutex);
        if (!programDirOverride.isEmpty())
            return programDirOverride;
    }
    return QCoreApplication::applicationDirPath();
}

void setProgramDirOverride(const QString& path)
{
    std::lock_guard<std::mutex> lock(programDirMutex);
    programDirOverride = path;
}

bool showAtStart()
{
    const QFileInfo marker(firstRunMarkerPath());
    if (!marker.exists())
        return false;
    QFile handled(markerHandledPath());
    return !handled.open(QIODevice::ReadOnly) || handled.read(32) != markerStamp(marker);
}

void removeFirstRunMarker()
{
    // The marker stays: the program folder is the installation's, shared by every user, and
    // each of them has their first start after it once.
    const QFileInfo marker(firstRunMarkerPath());
    if (!marker.exists())
        return;
    QString why;
    if (!writeWholeFile(markerHandledPath(), markerStamp(marker), &why))
        qWarning("Unable to note in %s that %s was handled: %s\n", qUtf8Printable(markerHandledPath()),
                 qUtf8Printable(marker.filePath()), qUtf8Printable(why));
}

IniFile openConfig()
{
    return IniFile::read(configFilePath());
}

int curRectId()
{
    SettingsReader reader(openConfig());
    const int id = reader.integer(QStringLiteral("Config/CurRectID"), 1, 0, StringRowCount - 1);
    reader.reportProblems();
    return id;
}

bool setCurRectId(int id)
{
    IniFile file = openConfig();
    file.setValue(QStringLiteral("Config/CurRectID"), id);
    return file.write();
}

CustomShowTable loadCustomShow()
{
    CustomShowTable table = EmptyCustomShow;
    SettingsReader reader(openConfig());
    for (int row = 0; row < StyleCount; ++row) {
        for (int slot = 0; slot < SlotCount; ++slot)
            table[row][slot] = reader.integer(QLatin1String(CustomShowKeys[row][slot]), -1, -1, ElementKindCount - 1);
    }
    reader.reportProblems();
    return table;
}

void putCustomShow(IniFile& file, const CustomShowTable& table)
{
    for (int row = 0; row < StyleCount; ++row) {
        for (int slot = 0; slot < SlotCount; ++slot)
            file.setValue(QLatin1String(CustomShowKeys[row][slot]), table[row][slot]);
    }
}

} // namespace korvo
