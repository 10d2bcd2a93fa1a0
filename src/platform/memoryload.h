#pragma once

// Percentage of physical memory in use, 0 to 100, as Windows reports it in dwMemoryLoad; -1 when
// it cannot be read.
namespace korvo::platform {

int memoryLoadPercent();

} // namespace korvo::platform
