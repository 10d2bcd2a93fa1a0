#pragma once

// The memory through which GetCPUInfo hands its figures to the program's refresh loop.
//
// Linux: a file of the user's private runtime folder, mapped by both; created 0600 and refused
// when it is not a regular file of this user's alone, so no other user can make it first, read
// it or write it. Its block is read and published whole, without a lock that a stuck or dead
// writer could hold: the writer marks a publish in progress in a sequence word, and a reader
// that meets one tries again for a moment and then gives up.
// Windows: the named segment of QSharedMemory, under its lock.

#include "metrics/cpuinfo.h"

#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>

namespace korvo::metrics {

// The block as published: little-endian 32-bit words from offset 0.
using CpuInfoBytes = std::array<unsigned char, CpuInfoBlockSize>;

// The block holding these words, in this order from offset 0; the rest are zero.
CpuInfoBytes cpuInfoBytes(std::initializer_list<int32_t> words);
// The word at a byte offset of the block.
int32_t cpuInfoWord(const CpuInfoBytes& bytes, int offset);

class CpuInfoSegment
{
public:
    CpuInfoSegment();
    ~CpuInfoSegment();
    CpuInfoSegment(const CpuInfoSegment&) = delete;
    CpuInfoSegment& operator=(const CpuInfoSegment&) = delete;

    // Opens the segment, making it (zero-filled) when there is none yet.
    bool create();
    // Opens the segment only when it exists.
    bool attach();
    void detach();
    // Detaches and, on Linux, removes the segment, so that the next copy starts afresh.
    void remove();
    bool isAttached() const;
    QString errorString() const;

    // False when not attached or when no whole block could be had in time.
    bool read(CpuInfoBytes& bytes) const;
    bool publish(const CpuInfoBytes& bytes);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace korvo::metrics
