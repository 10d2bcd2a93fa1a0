// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/runtimefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace korvo::platform {

// QStandardPaths gives $XDG_RUNTIME_DIR when that is the user's own 0700 folder, and otherwise
// $TMPDIR/runtime-$USER, which it creates 0700 when missing; it answers empty when that one cannot
// be made, belongs to someone else or is open to others.
QString privateRuntimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        qWarning("Runtime folder: none, and no cache folder to make a private one in");
        return {};
    }
    const QString folder = cache + QStringLiteral("/korvo-tft-runtime");
    if (!QDir().mkpath(folder)) {
        qWarning("Runtime folder: cannot create %s", qPrintable(folder));
        return {};
    }
    const QFileInfo info(folder);
    if (info.ownerId() != uint(geteuid())) {
        qWarning("Runtime folder: %s belongs to another user, not using it", qPrintable(folder));
        return {};
    }
    const QFile::Permissions ownerOnly =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    if (info.permissions() != ownerOnly && !QFile::setPermissions(folder, ownerOnly)) {
        qWarning("Runtime folder: cannot make %s private", qPrintable(folder));
        return {};
    }
    qWarning("Runtime folder: no usable runtime folder, using %s", qPrintable(folder));
    return folder;
}

} // namespace korvo::platform
