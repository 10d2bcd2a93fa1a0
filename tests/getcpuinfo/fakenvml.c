// SPDX-License-Identifier: GPL-3.0-or-later
/* A stand-in for NVIDIA's management library with the entry points GetCPUInfo uses. What its
 * GPUs report is set by FAKE_NVML: "fail" makes the start fail; otherwise one "TEMP/LOAD" per GPU,
 * comma-separated, "-" for a reading that fails ("-/-,65/40": the first GPU answers nothing). */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef int nvmlReturn_t;
typedef struct nvmlDevice_st* nvmlDevice_t;
typedef struct
{
    unsigned int gpu;
    unsigned int memory;
} nvmlUtilization_t;

enum
{
    Success = 0,
    Uninitialized = 1,
    InvalidArgument = 2,
    NotSupported = 3,
    DriverNotLoaded = 9
};

/* How often the library was started, for the tests to see that a failure is not retried. */
int fakeNvmlInitCalls = 0;

static int started;

/* The figure `field` (0 temperature, 1 load) of GPU `index` from FAKE_NVML, or -1. */
static int reading(unsigned int index, int field)
{
    const char* gpus = getenv("FAKE_NVML");
    if (!gpus)
        return -1;
    for (unsigned int gpu = 0; gpu < index; ++gpu) {
        gpus = strchr(gpus, ',');
        if (!gpus)
            return -1;
        ++gpus;
    }
    if (field == 1) {
        gpus = strchr(gpus, '/');
        if (!gpus)
            return -1;
        ++gpus;
    }
    return *gpus >= '0' && *gpus <= '9' ? atoi(gpus) : -1;
}

nvmlReturn_t nvmlInit_v2(void)
{
    const char* gpus = getenv("FAKE_NVML");
    ++fakeNvmlInitCalls;
    if (gpus && strcmp(gpus, "fail") == 0)
        return DriverNotLoaded;
    started = 1;
    return Success;
}

nvmlReturn_t nvmlShutdown(void)
{
    started = 0;
    return Success;
}

nvmlReturn_t nvmlDeviceGetCount_v2(unsigned int* deviceCount)
{
    const char* gpus = getenv("FAKE_NVML");
    unsigned int count = gpus && *gpus ? 1 : 0;
    if (!started)
        return Uninitialized;
    for (; gpus && *gpus; ++gpus)
        count += *gpus == ',';
    *deviceCount = count;
    return Success;
}

nvmlReturn_t nvmlDeviceGetHandleByIndex_v2(unsigned int index, nvmlDevice_t* device)
{
    if (!started)
        return Uninitialized;
    *device = (nvmlDevice_t)(size_t)(index + 1);
    return Success;
}

nvmlReturn_t nvmlDeviceGetTemperature(nvmlDevice_t device, int sensorType, unsigned int* temp)
{
    const int value = reading((unsigned int)(size_t)device - 1, 0);
    if (!started)
        return Uninitialized;
    if (sensorType != 0 || value < 0)
        return NotSupported;
    *temp = (unsigned int)value;
    return Success;
}

nvmlReturn_t nvmlDeviceGetUtilizationRates(nvmlDevice_t device, nvmlUtilization_t* utilization)
{
    const int value = reading((unsigned int)(size_t)device - 1, 1);
    if (!started)
        return Uninitialized;
    if (value < 0)
        return NotSupported;
    utilization->gpu = (unsigned int)value;
    utilization->memory = 0;
    return Success;
}

const char* nvmlErrorString(nvmlReturn_t result)
{
    return result == DriverNotLoaded ? "Driver Not Loaded" : "Unknown Error";
}
