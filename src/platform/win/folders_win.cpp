// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folders.h"

#include <QDir>
#include <QStandardPaths>

namespace korvo::platform {

// No organisation or application name is set, so the app-data location ends in the
// executable's base name; its parent is the roaming application-data folder.
QString configParentDir()
{
    QDir dir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    dir.cdUp();
    return dir.path();
}

QString homeDataParentDir()
{
    QDir dir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dir.cdUp();
    return dir.path();
}

} // namespace korvo::platform
