#include "platform/memoryload.h"

#include <windows.h>

namespace korvo::platform {

int memoryLoadPercent()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return -1;
    return static_cast<int>(status.dwMemoryLoad);
}

} // namespace korvo::platform
