#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// Lays out files under a root, each given as "relative/path=content", the way sysfs and procfs
// hold one value per file. Returns false when a file cannot be written.
inline bool writeTree(const QString& root, const QStringList& files)
{
    for (const QString& entry : files) {
        const int split = entry.indexOf(QLatin1Char('='));
        const QString path = root + QLatin1Char('/') + entry.left(split);
        if (!QDir().mkpath(QFileInfo(path).path()))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const QByteArray content = entry.mid(split + 1).toUtf8() + '\n';
        if (file.write(content) != content.size())
            return false;
    }
    return true;
}
