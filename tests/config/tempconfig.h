#pragma once

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

// Points the per-user folders at fresh temporary folders, so no test touches a real home.
class TempConfig
{
public:
    TempConfig()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
    }
    QString configDir() const { return dir.path() + "/config/Korvo TFT"; }
    QString dataDir() const { return dir.path() + "/data/Korvo TFT"; }
    QString configFile() const { return configDir() + "/Config.ini"; }

    bool writeConfig(const QByteArray& content) const { return writeFile(configFile(), content); }
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

// Collects the debug output while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        lines.clear();
        previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture() { qInstallMessageHandler(previous); }
    static QStringList lines;

private:
    static void handler(QtMsgType, const QMessageLogContext&, const QString& message) { lines << message; }
    QtMessageHandler previous;
};
inline QStringList LogCapture::lines;

#include "config/layoutrecord.h"
#include <QMetaType>
Q_DECLARE_METATYPE(korvo::CustomShowTable)
