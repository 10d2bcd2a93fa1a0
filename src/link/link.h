// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The screen link: the device table, the packets written to the screen's vendor interface and
// the pixel encoding. Plain functions over one process-wide table and two handles.

#include <QImage>

#include <atomic>
#include <cstdint>
#include <functional>

struct hid_device_;
typedef struct hid_device_ hid_device;

namespace korvo::link {

constexpr uint16_t ScreenVendorId = 0x04D9;
constexpr uint16_t ScreenProductId = 0xFD01;
constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 170;
constexpr int FrameBytes = ScreenWidth * ScreenHeight * 2; // 108800
constexpr int AreaPayloadLimit = 4088;                     // bytes of pixels in one area packet
constexpr int AreaPixelLimit = AreaPayloadLimit / 2;       // 2044
constexpr int DeviceTableRows = 200;
constexpr int PathLength = 255;

// Whether an area of this size goes out in one packet: at most 255 pixels a side and
// AreaPixelLimit in all.
bool areaFitsOnePacket(int width, int height);

struct ScreenDeviceEntry
{
    uint32_t vendorId;
    uint32_t productId;
    uint32_t minRelease;
    uint32_t maxRelease;
    uint32_t usageA;
    uint32_t usagePageA;
    uint32_t usageB;
    uint32_t usagePageB;
    char pathFilterA[PathLength];
    char pathFilterB[PathLength];
    char pathA[PathLength];
    char pathB[PathLength];
    uint32_t foundA;
    uint32_t foundB;
    char productName[256];
};

struct ScreenDeviceTable
{
    uint32_t count;
    ScreenDeviceEntry rows[DeviceTableRows];
};

// Process-wide state. In the program, only the screen worker's thread reads or writes it.
extern ScreenDeviceTable screenDeviceTable;
extern hid_device* consumerHandle;
extern hid_device* commandHandle;
// Set while a whole frame is being sent; area updates are dropped while it is set.
extern std::atomic<bool> frameSendBusy;

void InitDeviceTable();
// Forgets every path found before, then records the screens present now.
int EnumerateScreens();
void OpenScreenByName(const char* name);
void CloseScreen();
// Hot-plug. An arriving vendor interface: every row of this vendor and product takes its path
// (pathB, foundB = 1). Returns how many rows did.
int RecordScreenArrival(uint32_t vendorId, uint32_t productId, const char* path);
// A removed vendor interface: rows of this vendor and product that had one lose it (foundB = 0)
// and its path, so that nothing is written to a node the system may give another device.
// Returns how many rows had one, so a second removal finds none.
int RecordScreenRemoval(uint32_t vendorId, uint32_t productId);

// Each returns true when its packets were written. An area update returns false as well when it
// is dropped because a whole frame is being sent, or was sent while it waited.
bool SendFrame(const uint8_t* pixels, uint8_t reportId);
bool SendAreaImageWithPos(const uint8_t* pixels, int x, int y, int width, int height);
bool SendCommand(const uint8_t* bytes, int length);
bool SendOrientation(uint8_t orientation);
bool SendTimeSync();
bool SendTimeSyncAfterOrientation();

// Told, on the thread that wrote, when the screen stops answering (a few packets in a row found no
// screen or were refused) and when it answers again. Area updates dropped for a frame count as
// neither. The observer must return quickly; once this returns, the previous one is not running
// and is never called again.
void setLinkHealthObserver(std::function<void(bool answering)> observer);

// While held, every packet fails at once without reaching the device, and a frame being sent
// stops before its next chunk: the system is going to sleep, or the program is ending.
void holdWrites(bool held);

// Packets that failed since the start, held ones included (area updates dropped for a frame are
// not failures). Whoever sends can tell from it whether anything it sent went wrong.
uint64_t failedWrites();

// True once the screen was found but could not be opened for lack of permission (on Linux: its
// udev rule is not installed). The advice is logged once, the first time it happens.
bool screenAccessDenied();

// Image (already QImage::Format_RGB16) to big-endian RGB565, rows packed without padding.
// output must hold width * height * 2 bytes. Never allocates.
void ConvertImageToDeviceBuffer(const QImage& image, uint8_t* output);

} // namespace korvo::link
