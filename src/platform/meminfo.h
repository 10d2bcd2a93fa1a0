#pragma once

#include <QByteArray>

namespace korvo::platform {

// Memory load from the text of /proc/meminfo: (MemTotal - MemAvailable) / MemTotal in whole
// percent, truncated; -1 when the text lacks either figure.
int memoryLoadFromMeminfo(const QByteArray& meminfo);

} // namespace korvo::platform
