// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/inifile.h"
#include "config/layoutrecord.h"

#include <QFile>
#include <QString>

#include <atomic>

namespace korvo {

// The per-user folders, both named "Korvo TFT". Each call computes the path afresh and creates
// the folder when it is missing (raising firstUseFlag).
QString configDirPath();
QString homeDataDirPath();
QString configFilePath(); // configDirPath() + "/Config.ini"
// Makes configFilePath() name another file (empty: back to the user's), so that a program whose
// own Config.ini cannot be used runs on the shipped template instead.
void setConfigFileOverride(const QString& path);

// Raised when a per-user folder had to be created or the configuration was copied or replaced;
// the main window clears it after its first-run handling.
extern std::atomic<bool> firstUseFlag;

// The folder holding the program and its templates. Tests point it at a folder of their own.
QString programDirPath();
void setProgramDirOverride(const QString& path); // empty: back to applicationDirPath()

// The modes of the user's private files and folders (0600, 0700), whatever the templates' were.
extern const QFile::Permissions OwnerOnlyFile;
extern const QFile::Permissions OwnerOnlyFolder;

// True while an installer's "first.ini" marker lies in the program folder and this user has not
// handled it yet. Only an installer that means to replace every user's settings once leaves one
// (the Windows installer); the Debian package does not, so upgrades keep every layout.
bool showAtStart();
// Notes in the user's configuration folder that this user has handled the marker. The program
// folder is never changed.
void removeFirstRunMarker();

// The row (0..2) of the free text; 1 when missing or unusable.
int curRectId();
bool setCurRectId(int id);

// Every reader and writer reads Config.ini afresh, so nothing stays cached between calls and
// every reader sees the same values for the same file; a writer changes what it read and calls
// IniFile::write().
IniFile openConfig();

// The slot assignment of both custom styles; entries that are missing or unusable read as -1.
CustomShowTable loadCustomShow();
// Sets the slot assignment's keys in a file the caller writes.
void putCustomShow(IniFile& file, const CustomShowTable& table);

} // namespace korvo
