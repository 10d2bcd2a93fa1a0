// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidbackend.h"

#include <hidapi.h>

#include <atomic>

namespace korvo::link {
namespace {

const HidBackend realHidapi = {
    hid_init, hid_enumerate, hid_free_enumeration, hid_open_path, hid_write, hid_close, hid_error,
};

std::atomic<const HidBackend*> installed{&realHidapi};

} // namespace

const HidBackend& currentHidBackend()
{
    return *installed.load();
}

void setHidBackend(const HidBackend* backend)
{
    installed.store(backend ? backend : &realHidapi);
}

} // namespace korvo::link
