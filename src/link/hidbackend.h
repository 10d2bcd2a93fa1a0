// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The seam in front of hidapi. The link calls the screen only through the installed backend;
// the default is the real hidapi library, tests and the virtual screen install their own.

#include <cstddef>
#include <cwchar>

struct hid_device_;
typedef struct hid_device_ hid_device;
struct hid_device_info;

namespace korvo::link {

struct HidBackend
{
    int (*init)();
    hid_device_info* (*enumerate)(unsigned short vendorId, unsigned short productId);
    void (*freeEnumeration)(hid_device_info* devices);
    hid_device* (*openPath)(const char* path);
    int (*write)(hid_device* device, const unsigned char* data, size_t length);
    void (*close)(hid_device* device);
    // What went wrong with the last call on this open device; may be null.
    const wchar_t* (*error)(hid_device* device);
};

const HidBackend& currentHidBackend();
// Installs a backend for the whole process (nullptr restores hidapi). Install before any
// thread uses the link.
void setHidBackend(const HidBackend* backend);

} // namespace korvo::link
