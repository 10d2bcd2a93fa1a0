// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace korvo::platform {

// Linux: the folder for what only this user's processes may reach (the single-instance lock and
// socket, GetCPUInfo's lock and socket). $XDG_RUNTIME_DIR when that is the user's own 0700 folder;
// otherwise a "korvo-tft-runtime" folder in the user's cache folder, owned by the user and made
// 0700. Empty, with one logged line, when neither can be had: a folder shared with other users
// would let a stranger hold the lock or answer in our place.
QString privateRuntimeFolder();

} // namespace korvo::platform
