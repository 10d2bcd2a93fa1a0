// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// Lays out files under a root, each given as "relative/path=content", the way sysfs and procfs
// hold one value per file.
inline bool writeTree(const QString& root, const QStringList& files)
{
    for (const QString& entry : files) {
        QFile file(root + '/' + entry.section('=', 0, 0));
        if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly))
            return false;
        file.write(entry.section('=', 1).toUtf8() + '\n');
    }
    return true;
}
