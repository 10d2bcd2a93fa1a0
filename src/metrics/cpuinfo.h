#pragma once

// The application's side of the shared memory in which GetCPUInfo publishes the CPU figures.

#include <QString>

#include <cstdint>

namespace korvo::metrics {

constexpr const char* CpuInfoMemoryKey = "ReadCpuInfoShareMemory";
constexpr int CpuInfoMemorySize = 4096;

// The first 16 bytes of the segment, little-endian.
struct CpuInfoBlock
{
    int32_t cpuTemperature = 1; // whole degrees Celsius
    int32_t cpuLoad = 1;        // whole percent
    int32_t cpuPower = 1;       // whole watts
    int32_t reserved = 1;
};

// What a measurement can be. A figure outside these ranges is a sensor glitch, a counter that went
// backwards or garbage in the segment, and counts as unreadable on both sides of the segment.
constexpr bool isPlausibleTemperature(int celsius)
{
    return celsius >= -40 && celsius <= 150;
}
constexpr bool isPlausibleLoad(int percent)
{
    return percent >= 0 && percent <= 100;
}
constexpr bool isPlausiblePower(int watts)
{
    return watts >= 0 && watts <= 1000;
}

// The name of the segment: CpuInfoMemoryKey, or KORVO_CPUINFO_KEY when that is set, so that tests
// and a test copy of GetCPUInfo stay apart from the user's running pair. On Linux the name of its
// file in the user's private runtime folder. GetCPUInfo uses it too.
QString cpuInfoMemoryKey();

bool createCpuInfoMemory(int size);
bool attachCpuInfoMemory();
// Fills all four with 1 when the segment is not attached or no whole block could be read; a figure
// outside its plausible range reads as 1 too.
void readCpuInfo(int& temperature, int& load, int& power, int& reserved);
// Call only after the refresh loop has left its last read: a reader that comes back later finds
// the segment gone and reads 1s, it never reads freed memory, but its figures are then wrong.
void detachCpuInfoMemory();

} // namespace korvo::metrics
