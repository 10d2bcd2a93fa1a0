// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "logcapture.h"

// Points the per-user folders at a fresh temporary folder, so no test touches a real home.
class TempConfig
{
public:
    TempConfig()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
    }
    QString configDir() const { return dir.path() + "/config/Korvo TFT"; }
    QString configFile() const { return configDir() + "/Config.ini"; }
    bool writeConfig(const QByteArray& content) const // creates the folder if needed
    {
        return QDir().mkpath(configDir()) && writeFile(configFile(), content);
    }
    QByteArray readConfig() const { return readFile(configFile()); }

    static bool writeFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};
