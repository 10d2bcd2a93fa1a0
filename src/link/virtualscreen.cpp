// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/virtualscreen.h"
#include "link/hidbackend.h"
#include "link/link.h"

#include <hidapi.h>

#include <QDebug>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace korvo::link {

namespace {

constexpr size_t ReportLength = 4105; // report id + the screen's 4104-byte output report
constexpr int Chunks = 27;
constexpr int PixelCount = ScreenWidth * ScreenHeight;

// What a handle refers to: the interface number it was opened on.
struct OpenInterface
{
    int number;
    const wchar_t* error = nullptr; // why its last write failed
};

unsigned le16(const uint8_t* at)
{
    return static_cast<unsigned>(at[0]) | static_cast<unsigned>(at[1]) << 8;
}

// What the screen receives for a write of this length. The Windows HID layer pads a shorter
// write to the report size with zeros; hidraw delivers exactly what was written.
size_t deliveredLength(size_t written)
{
#ifdef Q_OS_WIN
    return std::max(written, ReportLength);
#else
    return written;
#endif
}

bool zeroFrom(const uint8_t* data, size_t from, size_t length)
{
    // All zero exactly when the first byte is zero and every byte equals the one after it.
    return from >= length || (data[from] == 0 && std::memcmp(data + from, data + from + 1, length - from - 1) == 0);
}

} // namespace

struct VirtualScreen::Device
{
    mutable std::mutex mutex;
    bool present = true;
    bool unplugged = false;
    bool listed = true;
    std::atomic<int> writeDelayMs{0};
    int writesUntilFailure = 0; // 0: no failure planned
    int writesUntilUnplug = 0;  // 0: no unplug planned
    Stats stats;
    std::vector<std::unique_ptr<OpenInterface>> handles;
    std::vector<uint16_t> pixels = std::vector<uint16_t>(PixelCount, 0);
    std::vector<uint8_t> incomingFrame = std::vector<uint8_t>(FrameBytes, 0);
    int expectedChunk = 0; // 0: no frame in progress
    int orientation = 0;
    QTime clock;
    bool logging = false;
    std::vector<QByteArray> log;
    bool changed = false; // the last packet changed the picture or the orientation
    // Held while the change callback runs, so that replacing it waits for a call in progress.
    std::mutex callbackMutex;
    std::function<void()> changeCallback;

    void notifyChange()
    {
        std::lock_guard<std::mutex> lock(callbackMutex);
        if (changeCallback)
            changeCallback();
    }

    bool reachable() const { return present && !unplugged; }

    void showBigEndianPixels(const uint8_t* bytes, int x, int y, int width, int height)
    {
        const size_t lineBytes = static_cast<size_t>(width) * 2;
        uint16_t line[ScreenWidth];
        for (int row = 0; row < height; ++row) {
            // Every packet the program sends passes through here: a line is turned to the host's
            // order in one go, then compared and copied whole.
            qFromBigEndian<quint16>(bytes + static_cast<size_t>(row) * lineBytes, width, line);
            uint16_t* shown = pixels.data() + (y + row) * ScreenWidth + x;
            // The refresh loop resends unchanged figures; those must not wake a viewer.
            changed = changed || std::memcmp(shown, line, lineBytes) != 0;
            std::memcpy(shown, line, lineBytes);
        }
    }

    bool acceptArea(const uint8_t* data, size_t length)
    {
        const unsigned x = le16(data + 3), y = le16(data + 5), width = data[7], height = data[8];
        const size_t payload = static_cast<size_t>(width) * height * 2;
        if (width == 0 || height == 0 || x + width > ScreenWidth || y + height > ScreenHeight ||
            payload > static_cast<size_t>(AreaPayloadLimit) || !zeroFrom(data, 9 + payload, length))
            return false;
        showBigEndianPixels(data + 9, static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                            static_cast<int>(height));
        ++stats.areaPackets;
        return true;
    }

    bool acceptChunk(const uint8_t* data, size_t length)
    {
        const int number = data[4];
        const bool inSequence = number == 1 || (expectedChunk != 0 && number == expectedChunk);
        expectedChunk = 0; // a broken sequence abandons the frame
        if (!inSequence)
            return false;
        const uint8_t phase = number == 1 ? 0xF0 : (number == Chunks ? 0xF2 : 0xF1);
        const unsigned offset = static_cast<unsigned>(number - 1) * 4096;
        const unsigned payload = number == Chunks ? 0x0900 : 0x1000;
        if (data[3] != phase || le16(data + 5) != (offset & 0xFFFF) || le16(data + 7) != payload ||
            !zeroFrom(data, 9 + payload, length))
            return false;
        std::memcpy(incomingFrame.data() + offset, data + 9, payload);
        if (number < Chunks) {
            expectedChunk = number + 1;
            return true;
        }
        // The screen shows a frame once all of it has arrived.
        showBigEndianPixels(incomingFrame.data(), 0, 0, ScreenWidth, ScreenHeight);
        ++stats.framesCompleted;
        return true;
    }

    bool acceptCommand(const uint8_t* data, size_t length)
    {
        if (data[3] == 0xF1) {
            if ((data[4] != 1 && data[4] != 2) || !zeroFrom(data, 5, length))
                return false;
            changed = changed || orientation != data[4];
            orientation = data[4];
        } else if (data[3] == 0xF2 || data[3] == 0xF3) {
            if (data[4] > 23 || data[5] > 59 || data[6] > 59 || !zeroFrom(data, 7, length))
                return false;
            clock = QTime(data[4], data[5], data[6]);
        } else {
            return false;
        }
        ++stats.commands;
        return true;
    }

    void receive(const uint8_t* data, size_t length)
    {
        const bool chunk = length >= 5 && data[2] == 0xA3;
        if (expectedChunk != 0 && !chunk)
            ++stats.interleaved;
        bool accepted = false;
        if (length >= 9 && deliveredLength(length) == ReportLength && data[0] == 0 && data[1] == 0x55) {
            switch (data[2]) {
            case 0xA1:
                accepted = acceptCommand(data, length);
                break;
            case 0xA2:
                accepted = acceptArea(data, length);
                break;
            case 0xA3:
                accepted = acceptChunk(data, length);
                break;
            default:
                break;
            }
        }
        if (!accepted)
            ++stats.rejected;
    }
};

namespace {

const char* const ConsumerPath = "virtual:04d9:fd01:0";
const char* const VendorPath = "virtual:04d9:fd01:1";

// The backend functions are plain function pointers, so they reach the one live screen here.
std::atomic<VirtualScreen::Device*> liveDevice{nullptr};

int virtualInit()
{
    return 0;
}

hid_device_info* describeInterface(int number, hid_device_info* next)
{
    auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
    info->path = strdup(number == 0 ? ConsumerPath : VendorPath);
    info->vendor_id = ScreenVendorId;
    info->product_id = ScreenProductId;
    info->serial_number = wcsdup(L"");
    info->release_number = 0x0100;
    info->manufacturer_string = wcsdup(L"Korvo virtual");
    info->product_string = wcsdup(L"TFT Screen");
    info->usage_page = number == 0 ? 0x000C : 0xFFA0;
    info->usage = 0x0001;
    info->interface_number = number;
    info->next = next;
    return info;
}

hid_device_info* virtualEnumerate(unsigned short vendorId, unsigned short productId)
{
    VirtualScreen::Device* device = liveDevice.load();
    if (!device)
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(device->mutex);
        if (!device->reachable() || !device->listed)
            return nullptr;
    }
    if ((vendorId != 0 && vendorId != ScreenVendorId) || (productId != 0 && productId != ScreenProductId))
        return nullptr;
    return describeInterface(0, describeInterface(1, nullptr));
}

void virtualFreeEnumeration(hid_device_info* devices)
{
    while (devices) {
        hid_device_info* next = devices->next;
        std::free(devices->path);
        std::free(devices->serial_number);
        std::free(devices->manufacturer_string);
        std::free(devices->product_string);
        std::free(devices);
        devices = next;
    }
}

hid_device* virtualOpenPath(const char* path)
{
    VirtualScreen::Device* device = liveDevice.load();
    if (!device || !path)
        return nullptr;
    const int number = std::strcmp(path, ConsumerPath) == 0 ? 0 : (std::strcmp(path, VendorPath) == 0 ? 1 : -1);
    std::lock_guard<std::mutex> lock(device->mutex);
    if (number < 0 || !device->reachable())
        return nullptr;
    device->handles.push_back(std::make_unique<OpenInterface>(OpenInterface{number}));
    ++device->stats.opens;
    return reinterpret_cast<hid_device*>(device->handles.back().get());
}

std::vector<std::unique_ptr<OpenInterface>>::iterator findHandle(VirtualScreen::Device& device, hid_device* handle)
{
    return std::find_if(device.handles.begin(), device.handles.end(),
                        [handle](const auto& open) { return reinterpret_cast<hid_device*>(open.get()) == handle; });
}

// Caller holds the device's lock.
int writeLocked(VirtualScreen::Device* device, hid_device* handle, const unsigned char* data, size_t length)
{
    const auto open = findHandle(*device, handle);
    if (open == device->handles.end())
        return -1;
    if (!device->reachable()) {
        (*open)->error = L"the virtual screen is unplugged";
        return -1;
    }
    if ((*open)->number != 1) {
        ++device->stats.rejected;
        (*open)->error = L"the consumer interface takes no output reports";
        return -1;
    }
    ++device->stats.writes;
    if (device->logging)
        device->log.emplace_back(reinterpret_cast<const char*>(data), static_cast<int>(length));
    if (device->writesUntilFailure > 0 && --device->writesUntilFailure == 0) {
        (*open)->error = L"injected write fault";
        return -1;
    }
    device->receive(data, length);
    if (device->writesUntilUnplug > 0 && --device->writesUntilUnplug == 0)
        device->unplugged = true;
    return static_cast<int>(length);
}

int virtualWrite(hid_device* handle, const unsigned char* data, size_t length)
{
    VirtualScreen::Device* device = liveDevice.load();
    if (!device || !data)
        return -1;
    if (const int delay = device->writeDelayMs.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    int result;
    bool changed;
    {
        std::lock_guard<std::mutex> lock(device->mutex);
        result = writeLocked(device, handle, data, length);
        changed = std::exchange(device->changed, false);
    }
    if (changed)
        device->notifyChange();
    return result;
}

void virtualClose(hid_device* handle)
{
    VirtualScreen::Device* device = liveDevice.load();
    if (!device)
        return;
    std::lock_guard<std::mutex> lock(device->mutex);
    const auto open = findHandle(*device, handle);
    if (open == device->handles.end()) {
        qWarning("Virtual screen: a handle that is not open was closed.");
        return;
    }
    device->handles.erase(open);
}

const wchar_t* virtualError(hid_device* handle)
{
    VirtualScreen::Device* device = liveDevice.load();
    if (!device)
        return L"no virtual screen";
    std::lock_guard<std::mutex> lock(device->mutex);
    const auto open = findHandle(*device, handle);
    return open == device->handles.end() ? L"not an open handle" : (*open)->error;
}

const HidBackend virtualBackend = {
    virtualInit, virtualEnumerate, virtualFreeEnumeration, virtualOpenPath, virtualWrite, virtualClose, virtualError,
};

} // namespace

VirtualScreen::VirtualScreen() : device_(new Device)
{
    if (liveDevice.exchange(device_))
        qWarning("Virtual screen: a second virtual screen replaces the first.");
    setHidBackend(&virtualBackend);
}

VirtualScreen::~VirtualScreen()
{
    setHidBackend(nullptr);
    liveDevice.compare_exchange_strong(device_, nullptr);
    delete device_;
}

void VirtualScreen::failWrite(int n)
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    device_->writesUntilFailure = std::max(n, 0);
}

void VirtualScreen::unplugAfterWrites(int n)
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    device_->writesUntilUnplug = std::max(n, 0);
    device_->unplugged = n <= 0;
}

void VirtualScreen::setPresent(bool present)
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    device_->present = present;
}

void VirtualScreen::setListed(bool listed)
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    device_->listed = listed;
}

void VirtualScreen::setWriteDelay(int milliseconds)
{
    device_->writeDelayMs.store(std::max(milliseconds, 0));
}

void VirtualScreen::reset()
{
    device_->writeDelayMs.store(0);
    {
        std::lock_guard<std::mutex> lock(device_->mutex);
        Device& device = *device_;
        device.present = true;
        device.unplugged = false;
        device.listed = true;
        device.writesUntilFailure = 0;
        device.writesUntilUnplug = 0;
        device.stats = Stats();
        std::fill(device.pixels.begin(), device.pixels.end(), 0);
        device.expectedChunk = 0;
        device.orientation = 0;
        device.clock = QTime();
        device.log.clear();
        device.changed = false;
    }
    device_->notifyChange();
}

VirtualScreen::Stats VirtualScreen::stats() const
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    Stats stats = device_->stats;
    stats.openHandles = static_cast<int>(device_->handles.size());
    return stats;
}

QImage VirtualScreen::framebuffer() const
{
    QImage image(ScreenWidth, ScreenHeight, QImage::Format_RGB16);
    std::lock_guard<std::mutex> lock(device_->mutex);
    for (int y = 0; y < ScreenHeight; ++y)
        std::memcpy(image.scanLine(y), device_->pixels.data() + y * ScreenWidth, ScreenWidth * 2);
    return image;
}

int VirtualScreen::orientation() const
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    return device_->orientation;
}

QTime VirtualScreen::lastClock() const
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    return device_->clock;
}

std::vector<QByteArray> VirtualScreen::log() const
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    return device_->log;
}

void VirtualScreen::clearLog()
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    device_->log.clear();
}

void VirtualScreen::setLogging(bool on)
{
    std::lock_guard<std::mutex> lock(device_->mutex);
    device_->logging = on;
}

void VirtualScreen::setChangeCallback(std::function<void()> callback)
{
    std::function<void()> previous;
    {
        std::lock_guard<std::mutex> lock(device_->callbackMutex);
        previous.swap(device_->changeCallback);
        device_->changeCallback = std::move(callback);
    }
    // The old callback's captures are released outside the lock, in case they own a screen user.
}

const char* VirtualScreen::consumerPath()
{
    return ConsumerPath;
}

const char* VirtualScreen::vendorPath()
{
    return VendorPath;
}

} // namespace korvo::link
