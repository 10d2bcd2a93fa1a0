// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Starting the program at login is each user's own choice, kept where the desktop looks for it:
// the user's autostart folder on Linux, the Run key of the user's registry on Windows.
namespace korvo::autostart {

// The user's autostart entry of this program (Linux), or the Run value's name (Windows).
QString entryPath();
bool enabled();
// Writes or removes the entry; false, with one log line, when that failed.
bool setEnabled(bool on);

} // namespace korvo::autostart
