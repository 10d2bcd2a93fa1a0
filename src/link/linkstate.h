// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Internal to the link: the lock that keeps the device table and the two handles consistent
// between the GUI, refresh and apply threads.

#include <atomic>
#include <cstdint>
#include <mutex>

namespace korvo::link::detail {

// Held for every open-write-close and for every change of the table or the handles, so no two
// threads ever touch one hid_device.
extern std::mutex linkMutex;

// Counts the frames begun. An area update that waited for the lock while a whole frame went out
// sees a new value and is dropped, instead of being sent late over the fresh frame.
extern std::atomic<uint32_t> frameSerial;

// An open of the screen's interface at path failed: when it was for lack of permission, notes it
// for screenAccessDenied() and logs the advice, once per process.
void noteOpenFailure(const char* path);

} // namespace korvo::link::detail
