// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidbackend.h"
#include "link/link.h"
#include "link/linkstate.h"
#include "platform/clock.h"

#include <QDebug>
#include <QTime>

#include <cstring>
#include <functional>
#include <mutex>

namespace korvo::link {

std::atomic<bool> frameSendBusy{false};

namespace {
std::atomic<bool> writesHeld{false};
std::atomic<uint64_t> failureCount{0};
} // namespace

namespace detail {
std::mutex linkMutex;
} // namespace detail

namespace {

constexpr size_t ChunkReport = 4105; // report id + 8 header bytes + 4096 payload, the screen's report size
#ifdef Q_OS_WIN
constexpr size_t ShortReport = 4097; // report id + 4096; the HID layer pads it to the report size
#else
// hidraw hands the device exactly what it is given, so the padding the Windows HID layer adds is
// written here: the screen then receives the same bytes from both systems.
constexpr size_t ShortReport = ChunkReport;
#endif
constexpr size_t CommandRoom = 4096; // bytes after the report id that a command may fill
constexpr int ChunkPayload = 4096;
constexpr int FrameChunks = 27;
constexpr int LastChunkPayload = FrameBytes - (FrameChunks - 1) * ChunkPayload; // 2304
constexpr int AreaHeader = 9;

void putLe16(uint8_t* at, unsigned value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// The packets re-open the vendor interface each time: the screen may have been unplugged and
// re-plugged under a new path since the last one. Caller holds the lock.
bool openCommandHandle(const HidBackend& hid)
{
    if (commandHandle)
        hid.close(commandHandle);
    char path[PathLength + 1] = {};
    std::memcpy(path, screenDeviceTable.rows[0].pathB, PathLength);
    commandHandle = hid.openPath(path);
    if (!commandHandle)
        detail::noteOpenFailure(path);
    return commandHandle != nullptr;
}

void closeCommandHandle(const HidBackend& hid)
{
    if (commandHandle)
        hid.close(commandHandle);
    commandHandle = nullptr;
}

// One line per failed write: which packet, and what the HID layer says about it.
void logFailedWrite(const HidBackend& hid, const QString& packet)
{
    const wchar_t* error = hid.error ? hid.error(commandHandle) : nullptr;
    qWarning("Writing %s to the screen failed: %s.\n", qUtf8Printable(packet),
             error ? qUtf8Printable(QString::fromWCharArray(error)) : "no reason given");
}

QString commandName(const uint8_t* bytes, int length)
{
    if (length >= 3 && bytes[0] == 0x55 && bytes[1] == 0xA1) {
        if (bytes[2] == 0xF1)
            return QStringLiteral("the orientation command");
        if (bytes[2] == 0xF2)
            return QStringLiteral("the clock command");
        if (bytes[2] == 0xF3)
            return QStringLiteral("the clock command after the orientation");
    }
    return QStringLiteral("a command of %1 bytes").arg(length);
}

bool writeChunks(const HidBackend& hid, const uint8_t* pixels, uint8_t reportId)
{
    if (!openCommandHandle(hid))
        return false;
    uint8_t chunk[ChunkReport];
    for (int number = 1; number <= FrameChunks; ++number) {
        const int offset = (number - 1) * ChunkPayload;
        const int length = number == FrameChunks ? LastChunkPayload : ChunkPayload;
        std::memset(chunk, 0, sizeof chunk);
        chunk[0] = reportId;
        chunk[1] = 0x55;
        chunk[2] = 0xA3;
        chunk[3] = number == 1 ? 0xF0 : (number == FrameChunks ? 0xF2 : 0xF1);
        chunk[4] = static_cast<uint8_t>(number);
        putLe16(chunk + 5, static_cast<unsigned>(offset) & 0xFFFF);
        putLe16(chunk + 7, static_cast<unsigned>(length));
        std::memcpy(chunk + 9, pixels + offset, length);
        if (writesHeld.load()) {
            qWarning("A frame was abandoned after %d of %d chunks: writing is held.\n", number - 1, FrameChunks);
            closeCommandHandle(hid);
            return false;
        }
        if (hid.write(commandHandle, chunk, sizeof chunk) < 0) {
            logFailedWrite(hid, QStringLiteral("chunk %1 of %2 of a frame").arg(number).arg(FrameChunks));
            closeCommandHandle(hid);
            return false;
        }
    }
    closeCommandHandle(hid);
    return true;
}

// Packets in a row that found no screen or were not taken before the screen counts as gone. One
// failure alone is a hiccup; the refresh loop's next packet tries again anyway.
constexpr int FailureRun = 3;
std::atomic<int> failedInARow{0};
std::mutex observerMutex;
std::function<void(bool)> healthObserver;

void notifyHealth(bool answering)
{
    std::lock_guard<std::mutex> lock(observerMutex);
    if (healthObserver)
        healthObserver(answering);
}

// A screen that stopped answering may be gone, and its node given to another device: the paths
// found for it are dropped, so only a new enumeration can find it again.
void forgetPaths()
{
    std::lock_guard<std::mutex> lock(detail::linkMutex);
    for (ScreenDeviceEntry& row : screenDeviceTable.rows) {
        row.pathA[0] = row.pathB[0] = '\0';
        row.foundA = row.foundB = 0;
    }
}

// Called outside the link's lock, so the observer may send packets of its own.
bool noteOutcome(bool ok)
{
    if (ok) {
        if (failedInARow.exchange(0) >= FailureRun)
            notifyHealth(true);
        return true;
    }
    failureCount.fetch_add(1);
    if (failedInARow.fetch_add(1) + 1 == FailureRun) {
        forgetPaths();
        notifyHealth(false);
    }
    return false;
}

// A held packet never reaches the device, so it says nothing about the screen's health.
bool refuseHeld()
{
    if (!writesHeld.load())
        return false;
    failureCount.fetch_add(1);
    return true;
}

} // namespace

bool areaFitsOnePacket(int width, int height)
{
    return width >= 1 && width <= 255 && height >= 1 && height <= 255 && width * height <= AreaPixelLimit;
}

bool SendFrame(const uint8_t* pixels, uint8_t reportId)
{
    if (!pixels) {
        qWarning("SendFrame: no pixels given.");
        return false;
    }
    if (refuseHeld())
        return false;
    const HidBackend& hid = currentHidBackend();
    frameSendBusy.store(true);
    bool sent;
    {
        std::lock_guard<std::mutex> lock(detail::linkMutex);
        sent = writeChunks(hid, pixels, reportId);
    }
    frameSendBusy.store(false);
    if (!sent && writesHeld.load()) {
        failureCount.fetch_add(1);
        return false;
    }
    return noteOutcome(sent);
}

bool SendAreaImageWithPos(const uint8_t* pixels, int x, int y, int width, int height)
{
    if (frameSendBusy.load())
        return false;
    if (!pixels || !areaFitsOnePacket(width, height) || x < 0 || x > 0xFFFF || y < 0 || y > 0xFFFF) {
        qWarning("SendAreaImageWithPos: a %d x %d area at (%d, %d) does not fit one packet.", width, height, x, y);
        return false;
    }
    if (refuseHeld())
        return false;
    const HidBackend& hid = currentHidBackend();
    std::unique_lock<std::mutex> lock(detail::linkMutex);
    if (!openCommandHandle(hid)) {
        lock.unlock();
        return noteOutcome(false);
    }
    uint8_t packet[ShortReport] = {};
    packet[1] = 0x55;
    packet[2] = 0xA2;
    putLe16(packet + 3, static_cast<unsigned>(x));
    putLe16(packet + 5, static_cast<unsigned>(y));
    packet[7] = static_cast<uint8_t>(width);
    packet[8] = static_cast<uint8_t>(height);
    std::memcpy(packet + AreaHeader, pixels, static_cast<size_t>(width * height * 2));
    const bool written = hid.write(commandHandle, packet, sizeof packet) >= 0;
    if (!written) {
        qDebug("Unable to SendAreaImageWithPos.\n");
        logFailedWrite(hid, QStringLiteral("the area at %1,%2").arg(x).arg(y));
    }
    closeCommandHandle(hid);
    lock.unlock();
    return noteOutcome(written);
}

bool SendCommand(const uint8_t* bytes, int length)
{
    if (!bytes || length < 0 || length > static_cast<int>(CommandRoom)) {
        qWarning("SendCommand: a command of %d bytes does not fit one packet.", length);
        return false;
    }
    if (refuseHeld())
        return false;
    const HidBackend& hid = currentHidBackend();
    bool written = false;
    {
        std::lock_guard<std::mutex> lock(detail::linkMutex);
        if (openCommandHandle(hid)) {
            uint8_t packet[ShortReport] = {};
            std::memcpy(packet + 1, bytes, static_cast<size_t>(length));
            written = hid.write(commandHandle, packet, sizeof packet) >= 0;
            if (!written)
                logFailedWrite(hid, commandName(bytes, length));
            closeCommandHandle(hid);
        }
    }
    return noteOutcome(written);
}

void holdWrites(bool held)
{
    writesHeld.store(held);
}

uint64_t failedWrites()
{
    return failureCount.load();
}

void setLinkHealthObserver(std::function<void(bool answering)> observer)
{
    std::lock_guard<std::mutex> lock(observerMutex);
    healthObserver = std::move(observer);
}

bool SendOrientation(uint8_t orientation)
{
    if (orientation > 1)
        qWarning("SendOrientation: unknown orientation %d, sending landscape.", orientation);
    const uint8_t command[] = {0x55, 0xA1, 0xF1, static_cast<uint8_t>(orientation == 1 ? 2 : 1)};
    return SendCommand(command, sizeof command);
}

namespace {
bool sendClock(uint8_t kind)
{
    const QTime now = platform::localNow().time;
    const uint8_t command[] = {0x55,
                               0xA1,
                               kind,
                               static_cast<uint8_t>(now.hour()),
                               static_cast<uint8_t>(now.minute()),
                               static_cast<uint8_t>(now.second())};
    return SendCommand(command, sizeof command);
}
} // namespace

bool SendTimeSync()
{
    return sendClock(0xF2);
}

bool SendTimeSyncAfterOrientation()
{
    return sendClock(0xF3);
}

} // namespace korvo::link
