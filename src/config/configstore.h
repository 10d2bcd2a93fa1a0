#pragma once

#include "config/layoutrecord.h"

#include <QString>

#include <atomic>
#include <memory>

class QSettings;

namespace korvo {

// The per-user folders, both named "Korvo TFT". Each call computes the path afresh and creates
// the folder when it is missing (raising firstUseFlag).
QString configDirPath();
QString homeDataDirPath();
QString configFilePath(); // configDirPath() + "/Config.ini"

// Raised when a per-user folder had to be created or the configuration was copied or replaced;
// the main window clears it after its first-run handling.
extern std::atomic<bool> firstUseFlag;

// The folder holding the program and its templates. Tests point it at a folder of their own.
QString programDirPath();
void setProgramDirOverride(const QString& path); // empty: back to applicationDirPath()

// True while the installer's "first.ini" marker lies in the program folder.
bool showAtStart();
void removeFirstRunMarker();

// The row (0..2) of the free text; 1 when missing or unusable.
int curRectId();
void setCurRectId(int id);

// Every reader and writer opens its own settings object on Config.ini and drops it at once, so
// nothing stays cached between calls and a write reaches the disk when the object goes.
std::unique_ptr<QSettings> openConfig();
// Flushes a settings object that was written to; false (and one log line) when the file could
// not be written.
bool flushConfig(QSettings& settings);

// The slot assignment of both custom styles; entries that are missing or unusable read as -1.
CustomShowTable loadCustomShow();
bool saveCustomShow(const CustomShowTable& table);

} // namespace korvo
