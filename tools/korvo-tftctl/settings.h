// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace korvo::tftctl {

// The commands that change what korvo-tft shows rather than the screen itself: they edit the
// user's stored settings and ask a running copy to apply them.
extern const char* const SettingsHelp;

// True when `words` (the arguments after the program's name) is one of these commands.
bool isSettingsCommand(const QStringList& words);

// Runs it and returns the exit code.
int runSettingsCommand(QStringList words);

} // namespace korvo::tftctl
