// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Internal to the link: the lock that keeps the device table and the two handles consistent
// between the threads that call in (in the program, the screen worker's alone).

#include <mutex>

namespace korvo::link::detail {

// Held for every open-write-close and for every change of the table or the handles, so no two
// threads ever touch one hid_device.
extern std::mutex linkMutex;

// An open of the screen's interface at path failed: when it was for lack of permission, notes it
// for screenAccessDenied() and logs the advice, once per process.
void noteOpenFailure(const char* path);

} // namespace korvo::link::detail
