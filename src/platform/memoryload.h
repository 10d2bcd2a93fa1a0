#pragma once

// Percentage of physical memory in use, 0 to 100, as Windows reports it in dwMemoryLoad.
namespace korvo::platform {

int memoryLoadPercent();

} // namespace korvo::platform
