#pragma once

// The application's side of the shared memory in which GetCPUInfo publishes the CPU figures.

#include <QString>

#include <cstdint>

namespace korvo::metrics {

constexpr const char* CpuInfoMemoryKey = "ReadCpuInfoShareMemory";
constexpr int CpuInfoMemorySize = 4096;

// A figure that cannot be read: no sensor, no reading yet, or one outside its plausible range.
constexpr int32_t UnavailableFigure = INT32_MIN;

// The figures as the segment holds them, little-endian 32-bit words: the CPU's temperature, load
// and power at offsets 0, 4 and 8, a word at 12 no figure uses, then at 20, 24 and 28 the fan
// speed, the GPU's temperature and its load.
struct CpuInfoBlock
{
    int32_t cpuTemperature = UnavailableFigure; // whole degrees Celsius
    int32_t cpuLoad = UnavailableFigure;        // whole percent
    int32_t cpuPower = UnavailableFigure;       // whole watts
    int32_t reserved = 0;
    int32_t fanSpeed = UnavailableFigure;       // revolutions per minute
    int32_t gpuTemperature = UnavailableFigure; // whole degrees Celsius
    int32_t gpuLoad = UnavailableFigure;        // whole percent
};
constexpr int FanSpeedOffset = 20;
constexpr int GpuTemperatureOffset = 24;
constexpr int GpuLoadOffset = 28;
constexpr int CpuInfoBlockSize = 32;

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
// The fastest fans on desktop boards turn at about 10000 rpm.
constexpr bool isPlausibleFanSpeed(int rpm)
{
    return rpm >= 0 && rpm <= 30000;
}

// The name of the segment: CpuInfoMemoryKey, or KORVO_CPUINFO_KEY when that is set, so that tests
// and a test copy of GetCPUInfo stay apart from the user's running pair. On Linux the name of its
// file in the user's private runtime folder. GetCPUInfo uses it too.
QString cpuInfoMemoryKey();

bool createCpuInfoMemory(int size);
bool attachCpuInfoMemory();
// Every figure is UnavailableFigure when the segment is not attached or the figure lies outside
// its plausible range.
CpuInfoBlock readCpuInfo();
// Call only after the refresh loop has left its last read: a reader that comes back later finds
// the segment gone and reads 1s, it never reads freed memory, but its figures are then wrong.
void detachCpuInfoMemory();

} // namespace korvo::metrics
