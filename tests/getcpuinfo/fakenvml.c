// SPDX-License-Identifier: GPL-3.0-or-later
/* A stand-in for NVIDIA's management library with the entry points GetCPUInfo uses. What its
 * GPUs report is set by FAKE_NVML: "fail" makes the start fail; otherwise one "TEMP/LOAD" per GPU,
 * comma-separated, "-" for a reading that fails ("-/-,65/40": the first GPU answers nothing). */

#include <stdlib.h>
#include <string.h>

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
    NotSupported = 3,
    DriverNotLoaded = 9
};

/* How often the library was started, for the tests to see that a failure is not retried. */
int fakeNvmlInitCalls = 0;

static int started;

/* The figure `field` (0 temperature, 1 load) of a GPU from FAKE_NVML, or -1. */
static int reading(nvmlDevice_t device, int field)
{
    const char* gpus = getenv("FAKE_NVML");
    for (size_t gpu = 1; gpus && gpu < (size_t)device; ++gpu)
        gpus = strchr(gpus, ',') ? strchr(gpus, ',') + 1 : NULL;
    if (gpus && field == 1)
        gpus = strchr(gpus, '/') ? strchr(gpus, '/') + 1 : NULL;
    return gpus && *gpus >= '0' && *gpus <= '9' ? atoi(gpus) : -1;
}

int nvmlInit_v2(void)
{
    const char* gpus = getenv("FAKE_NVML");
    ++fakeNvmlInitCalls;
    started = !gpus || strcmp(gpus, "fail") != 0;
    return started ? Success : DriverNotLoaded;
}

int nvmlShutdown(void)
{
    started = 0;
    return Success;
}

int nvmlDeviceGetCount_v2(unsigned int* deviceCount)
{
    const char* gpus = getenv("FAKE_NVML");
    if (!started)
        return Uninitialized;
    *deviceCount = gpus && *gpus ? 1 : 0;
    for (; gpus && *gpus; ++gpus)
        *deviceCount += *gpus == ',';
    return Success;
}

int nvmlDeviceGetHandleByIndex_v2(unsigned int index, nvmlDevice_t* device)
{
    if (!started)
        return Uninitialized;
    *device = (nvmlDevice_t)(size_t)(index + 1);
    return Success;
}

int nvmlDeviceGetTemperature(nvmlDevice_t device, int sensorType, unsigned int* temp)
{
    if (!started)
        return Uninitialized;
    if (sensorType != 0 || reading(device, 0) < 0)
        return NotSupported;
    *temp = (unsigned int)reading(device, 0);
    return Success;
}

int nvmlDeviceGetUtilizationRates(nvmlDevice_t device, nvmlUtilization_t* utilization)
{
    if (!started)
        return Uninitialized;
    if (reading(device, 1) < 0)
        return NotSupported;
    utilization->gpu = (unsigned int)reading(device, 1);
    utilization->memory = 0;
    return Success;
}

const char* nvmlErrorString(int result)
{
    return result == DriverNotLoaded ? "Driver Not Loaded" : "Unknown Error";
}
