// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folders.h"

#include <QStandardPaths>

namespace korvo::platform {

QString configParentDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString homeDataParentDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace korvo::platform
