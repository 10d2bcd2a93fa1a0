// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidbackend.h"
#include "link/link.h"
#include "link/linkstate.h"

#include <hidapi.h>

#include <QDebug>
#include <QString>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace korvo::link {

ScreenDeviceTable screenDeviceTable;
hid_device* consumerHandle = nullptr;
hid_device* commandHandle = nullptr;

namespace {

std::atomic<bool> accessDenied{false};

// Rows written by hand (hot-plug) may lack their terminator; never read past the field.
void copyField(char (&field)[PathLength], const char* text)
{
    std::snprintf(field, sizeof field, "%s", text ? text : "");
}

uint32_t searchedRows()
{
    return screenDeviceTable.count <= DeviceTableRows ? screenDeviceTable.count : DeviceTableRows;
}

bool sameText(const char* field, size_t fieldSize, const char* text)
{
    return strnlen(field, fieldSize) < fieldSize && std::strcmp(field, text) == 0;
}

bool pathContains(const char* path, const char (&filter)[PathLength])
{
    char terminated[PathLength + 1] = {};
    std::memcpy(terminated, filter, PathLength);
    return std::strstr(path, terminated) != nullptr;
}

bool releaseAccepted(const ScreenDeviceEntry& row, unsigned release)
{
    return row.maxRelease == 0 || (row.minRelease <= release && release <= row.maxRelease);
}

QString wide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

void dumpDevice(const hid_device_info& device)
{
    qDebug("type: %x %x", device.vendor_id, device.product_id);
    qDebug("path: %s", device.path ? device.path : "");
    qDebug("usge %x uu %x", device.usage, device.usage_page);
    qDebug("Manufacturer: %s", qUtf8Printable(wide(device.manufacturer_string)));
    qDebug("Product:      %s", qUtf8Printable(wide(device.product_string)));
    qDebug("Release:      %x", device.release_number);
    qDebug("Interface:    %d", device.interface_number);
    qDebug("%s", "");
    qDebug("%s", "");
}

// Replaces a handle, closing the one it held so that re-opening never leaks. Caller holds the lock.
void reopen(const HidBackend& hid, hid_device*& handle, const char (&path)[PathLength])
{
    if (handle)
        hid.close(handle);
    char terminated[PathLength + 1] = {};
    std::memcpy(terminated, path, PathLength);
    handle = hid.openPath(terminated);
    if (!handle)
        detail::noteOpenFailure(terminated);
}

} // namespace

void detail::noteOpenFailure(const char* path)
{
#ifdef Q_OS_LINUX
    // hidapi keeps no errno; asking the node itself tells a missing rule from a missing screen.
    if (path[0] == '\0' || ::access(path, R_OK | W_OK) == 0 || errno != EACCES || accessDenied.exchange(true))
        return;
    qWarning("Cannot open the screen at %s: permission denied. Install the udev rule 70-korvo-tft.rules "
             "(packaging/linux/ in the source, /usr/lib/udev/rules.d/ from the package) as root into "
             "/etc/udev/rules.d/, run \"udevadm control --reload-rules\" and plug the screen in again.",
             path);
#else
    (void)path;
#endif
}

bool screenAccessDenied()
{
    return accessDenied.load();
}

void InitDeviceTable()
{
    std::lock_guard<std::mutex> lock(detail::linkMutex);
    std::memset(&screenDeviceTable, 0, sizeof screenDeviceTable);
    for (ScreenDeviceEntry& row : screenDeviceTable.rows) {
        row.vendorId = ScreenVendorId;
        row.productId = ScreenProductId;
        row.usageA = 0x0001;
        row.usagePageA = 0x000C;
        row.usageB = 0x0001;
        row.usagePageB = 0xFFA0;
        std::snprintf(row.productName, sizeof row.productName, "%s", "TFT Screen");
    }
    screenDeviceTable.count = 1;
}

int EnumerateScreens()
{
    const HidBackend& hid = currentHidBackend();
    if (hid.init() != 0)
        return -1;
    hid_device_info* devices = hid.enumerate(0, 0);
    {
        // A path found before may now belong to another device; only what is listed now counts.
        std::lock_guard<std::mutex> lock(detail::linkMutex);
        for (uint32_t i = 0; i < searchedRows(); ++i) {
            ScreenDeviceEntry& row = screenDeviceTable.rows[i];
            row.pathA[0] = row.pathB[0] = '\0';
            row.foundA = row.foundB = 0;
        }
    }
    for (const hid_device_info* device = devices; device; device = device->next) {
        if (device->vendor_id == ScreenVendorId && device->product_id == ScreenProductId)
            dumpDevice(*device);
        const char* path = device->path ? device->path : "";
        std::lock_guard<std::mutex> lock(detail::linkMutex);
        for (uint32_t i = 0; i < searchedRows(); ++i) {
            ScreenDeviceEntry& row = screenDeviceTable.rows[i];
            if (device->vendor_id != row.vendorId || device->product_id != row.productId)
                continue;
            if (!releaseAccepted(row, device->release_number))
                continue;
            if (device->usage == row.usageA && device->usage_page == row.usagePageA &&
                pathContains(path, row.pathFilterA)) {
                copyField(row.pathA, path);
                row.foundA = 1;
            }
            if (device->usage == row.usageB && device->usage_page == row.usagePageB &&
                pathContains(path, row.pathFilterB)) {
                copyField(row.pathB, path);
                row.foundB = 1;
            }
        }
    }
    hid.freeEnumeration(devices);
    return 0;
}

void OpenScreenByName(const char* name)
{
    if (!name) {
        qWarning("OpenScreenByName: no name given.");
        return;
    }
    const HidBackend& hid = currentHidBackend();
    if (hid.init() != 0)
        return;
    std::lock_guard<std::mutex> lock(detail::linkMutex);
    for (uint32_t i = 0; i < searchedRows(); ++i) {
        const ScreenDeviceEntry& row = screenDeviceTable.rows[i];
        if (row.foundB != 1 || !sameText(row.productName, sizeof row.productName, name))
            continue;
        reopen(hid, consumerHandle, row.pathA);
        reopen(hid, commandHandle, row.pathB);
    }
}

void CloseScreen()
{
    const HidBackend& hid = currentHidBackend();
    std::lock_guard<std::mutex> lock(detail::linkMutex);
    if (!commandHandle)
        return;
    if (consumerHandle)
        hid.close(consumerHandle);
    hid.close(commandHandle);
    consumerHandle = nullptr;
    commandHandle = nullptr;
}

int RecordScreenArrival(uint32_t vendorId, uint32_t productId, const char* path)
{
    std::lock_guard<std::mutex> lock(detail::linkMutex);
    int rows = 0;
    for (uint32_t i = 0; i < searchedRows(); ++i) {
        ScreenDeviceEntry& row = screenDeviceTable.rows[i];
        if (row.vendorId != vendorId || row.productId != productId)
            continue;
        copyField(row.pathB, path);
        row.foundB = 1;
        ++rows;
    }
    return rows;
}

int RecordScreenRemoval(uint32_t vendorId, uint32_t productId)
{
    std::lock_guard<std::mutex> lock(detail::linkMutex);
    int rows = 0;
    for (uint32_t i = 0; i < searchedRows(); ++i) {
        ScreenDeviceEntry& row = screenDeviceTable.rows[i];
        if (row.vendorId != vendorId || row.productId != productId || row.foundB == 0)
            continue;
        row.foundB = 0;
        row.pathB[0] = '\0';
        ++rows;
    }
    return rows;
}

} // namespace korvo::link
