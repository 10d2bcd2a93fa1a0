#pragma once

// The application's side of the shared memory in which GetCPUInfo publishes the CPU figures.

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

bool createCpuInfoMemory(int size);
bool attachCpuInfoMemory();
// Fills all four with 1 when the segment is not attached.
void readCpuInfo(int& temperature, int& load, int& power, int& reserved);
void detachCpuInfoMemory();

} // namespace korvo::metrics
