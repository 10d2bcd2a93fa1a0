// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A software 04D9:FD01 screen behind the hidapi seam. It presents both HID interfaces, checks
// every packet strictly against the protocol, keeps the picture the packets draw, and can
// inject faults. Written from the protocol, not from the sender, so it checks rather than mirrors.

#include <QByteArray>
#include <QImage>
#include <QTime>

#include <cstdint>
#include <functional>
#include <vector>

namespace korvo::link {

class VirtualScreen
{
public:
    struct Stats
    {
        int writes = 0;          // hid_write calls that reached the vendor interface
        int areaPackets = 0;     // accepted area packets
        int framesCompleted = 0; // whole frames received, chunk 1 to 27 in order
        int commands = 0;        // accepted control commands
        int rejected = 0;        // packets that broke the protocol
        int interleaved = 0;     // other packets arriving in the middle of a frame
        int openHandles = 0;     // handles open right now
        int opens = 0;
    };

    // Installs itself as the link's backend; the destructor restores hidapi.
    VirtualScreen();
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    // Faults. n counts from 1 over the writes still to come.
    void failWrite(int n);         // the n-th write returns -1
    void unplugAfterWrites(int n); // after n more writes the device is gone
    void setPresent(bool present); // false: no device at all
    // false: the nodes still open and take packets, but enumeration no longer lists the screen,
    // as when another device has been given the screen's old node.
    void setListed(bool listed);
    // Every write to the vendor interface takes this long, outside the screen's lock.
    void setWriteDelay(int milliseconds);
    void reset(); // black picture, counters zero, present, listed, no faults and no delay

    Stats stats() const;
    QImage framebuffer() const;          // 320 x 170, Format_RGB16, as the screen shows it
    int orientation() const;             // 1 landscape, 2 portrait, 0 before any command
    QTime lastClock() const;             // null before any clock command
    std::vector<QByteArray> log() const; // every write, bytes as written, oldest first
    void clearLog();
    void setLogging(bool on); // off by default: long runs would keep every packet

    // Called on the writing thread after a packet changed the picture or the orientation (and on
    // the calling thread after reset()), outside the screen's lock: it may read framebuffer() and
    // orientation() but must not call setChangeCallback(). When setChangeCallback() returns, the
    // previous callback has finished and is never called again, so its owner may go away. One
    // callback at a time; an empty one stops the calls.
    void setChangeCallback(std::function<void()> callback);

    // The device paths the virtual screen enumerates.
    static const char* consumerPath();
    static const char* vendorPath();

    struct Device;

private:
    Device* device_;
};

} // namespace korvo::link
