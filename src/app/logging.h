// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The program's log: every line of the default category is given the category of the part it
// comes from (korvo.link, korvo.compose …), whose debug lines are off unless QT_LOGGING_RULES
// turns them on ("korvo.*.debug=true"); warnings always show. Texts written with a closing
// newline lose it, and an empty line is not written at all, Qt's own as well.
namespace korvo::logging {

// Takes over Qt's message handler, handing each line on to `next`, or else to the one that was
// installed before.
void install(QtMessageHandler next = nullptr);

} // namespace korvo::logging
