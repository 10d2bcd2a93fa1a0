// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded in place of hidapi, this shows the virtual screen on the bus, so the program runs its
// real link code without a screen attached.
//   KORVO_FAKEHID_LOG=FILE   appends "<CLOCK_REALTIME ns> <length> <first 9 bytes in hex>" per write
//   KORVO_FAKEHID_ABSENT=1   no screen on the bus

#include "link/hidbackend.h"
#include "link/virtualscreen.h"

#include <hidapi.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#define KORVO_FAKEHID_EXPORT extern "C" __attribute__((visibility("default")))

namespace korvo::link {

namespace {
std::atomic<const HidBackend*> installedBackend{nullptr};
} // namespace

// The virtual screen installs its backend here. The link's own table would point at the hid_*
// functions below, which would call back into themselves.
void setHidBackend(const HidBackend* backend)
{
    installedBackend.store(backend);
}

} // namespace korvo::link

namespace {

using korvo::link::HidBackend;
using korvo::link::VirtualScreen;

class Stage
{
public:
    Stage()
    {
        const char* absent = std::getenv("KORVO_FAKEHID_ABSENT");
        if (absent && std::strcmp(absent, "1") == 0)
            screen_.setPresent(false);
        const char* path = std::getenv("KORVO_FAKEHID_LOG");
        if (path && *path) {
            log_ = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
            if (log_ < 0)
                std::fprintf(stderr, "korvo-fakehid: cannot open the log %s: %s\n", path, std::strerror(errno));
        }
    }

    // One line in one write(): O_APPEND keeps lines whole when several writers share the file, and
    // a reader outside the process sees each line as soon as the packet went out.
    void logWrite(const unsigned char* data, size_t length)
    {
        if (log_ < 0)
            return;
        timespec now{};
        if (clock_gettime(CLOCK_REALTIME, &now) != 0) {
            reportLogFailure("reading the clock");
            return;
        }
        char line[96];
        const long long nanoseconds = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        int used = std::snprintf(line, sizeof line, "%lld %zu ", nanoseconds, length);
        static const char digits[] = "0123456789abcdef";
        for (size_t i = 0; i < std::min<size_t>(length, 9); ++i) {
            line[used++] = digits[data[i] >> 4];
            line[used++] = digits[data[i] & 0x0F];
        }
        line[used++] = '\n';
        const ssize_t written = ::write(log_, line, static_cast<size_t>(used));
        if (written != used)
            reportLogFailure(written < 0 ? std::strerror(errno) : "a short write");
    }

private:
    void reportLogFailure(const char* why)
    {
        if (!logFailureReported_.exchange(true))
            std::fprintf(stderr, "korvo-fakehid: cannot append to the log: %s\n", why);
    }

    VirtualScreen screen_;
    int log_ = -1;
    std::atomic<bool> logFailureReported_{false};
};

// Made on the first call and never destroyed: the program may still close its handles from its
// own exit handlers, after this library's destructors would have run.
Stage& stage()
{
    static Stage* const stage = new Stage;
    return *stage;
}

const HidBackend* backend()
{
    stage();
    return korvo::link::installedBackend.load();
}

} // namespace

KORVO_FAKEHID_EXPORT int hid_init()
{
    const HidBackend* hid = backend();
    return hid ? hid->init() : -1;
}

KORVO_FAKEHID_EXPORT int hid_exit()
{
    return 0;
}

KORVO_FAKEHID_EXPORT hid_device_info* hid_enumerate(unsigned short vendorId, unsigned short productId)
{
    const HidBackend* hid = backend();
    return hid ? hid->enumerate(vendorId, productId) : nullptr;
}

KORVO_FAKEHID_EXPORT void hid_free_enumeration(hid_device_info* devices)
{
    if (const HidBackend* hid = backend())
        hid->freeEnumeration(devices);
}

KORVO_FAKEHID_EXPORT hid_device* hid_open_path(const char* path)
{
    const HidBackend* hid = backend();
    return hid ? hid->openPath(path) : nullptr;
}

KORVO_FAKEHID_EXPORT int hid_write(hid_device* device, const unsigned char* data, size_t length)
{
    const HidBackend* hid = backend();
    if (!hid || !data)
        return -1;
    stage().logWrite(data, length);
    return hid->write(device, data, length);
}

KORVO_FAKEHID_EXPORT void hid_close(hid_device* device)
{
    if (const HidBackend* hid = backend())
        hid->close(device);
}

// Answered by the virtual screen, so that an error report never hands a virtual handle to the
// real library.
KORVO_FAKEHID_EXPORT const wchar_t* hid_error(hid_device* device)
{
    const HidBackend* hid = backend();
    return hid ? hid->error(device) : L"no virtual screen";
}
