// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The parents of the two per-user folders. On Windows they are the roaming application-data
// folder and the home folder; on Linux the XDG config and data homes, so XDG_CONFIG_HOME and
// XDG_DATA_HOME move them.
namespace korvo::platform {

QString configParentDir();
QString homeDataParentDir();

} // namespace korvo::platform
