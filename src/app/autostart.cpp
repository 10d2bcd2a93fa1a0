// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace korvo::autostart {

namespace {

#ifdef Q_OS_WIN
const char* const RunKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const RunName = "Korvo TFT";
#else
// Exec's rules: a path with anything but plain characters is quoted, and \, ", ` and $ in it
// escaped; the file format then wants each backslash doubled.
QString execArgument(const QString& path)
{
    static const QString plain = QStringLiteral("/._-+");
    bool quote = false;
    for (const QChar c : path)
        quote = quote || !(c.isLetterOrNumber() || plain.contains(c));
    if (!quote)
        return path;
    QString escaped;
    for (const QChar c : path) {
        if (c == '\\' || c == '"' || c == '`' || c == '$')
            escaped += '\\';
        escaped += c;
    }
    QString quoted = '"' + escaped + '"';
    return quoted.replace('\\', QStringLiteral("\\\\"));
}
#endif

} // namespace

#ifdef Q_OS_WIN

QString entryPath()
{
    return QString::fromLatin1(RunKey) + '\\' + QString::fromLatin1(RunName);
}

bool enabled()
{
    return QSettings(QString::fromLatin1(RunKey), QSettings::NativeFormat).contains(QString::fromLatin1(RunName));
}

bool setEnabled(bool on)
{
    QSettings run(QString::fromLatin1(RunKey), QSettings::NativeFormat);
    if (on)
        run.setValue(QString::fromLatin1(RunName),
                     '"' + QDir::toNativeSeparators(QCoreApplication::applicationFilePath()) + '"');
    else
        run.remove(QString::fromLatin1(RunName));
    run.sync();
    if (run.status() != QSettings::NoError) {
        qWarning("Could not %s the Run value %s.", on ? "write" : "remove", qPrintable(entryPath()));
        return false;
    }
    return true;
}

#else

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/org.korvo.KorvoTFT.desktop");
}

bool enabled()
{
    return QFileInfo::exists(entryPath());
}

bool setEnabled(bool on)
{
    const QString path = entryPath();
    if (!on) {
        QFile entry(path);
        if (entry.exists() && !entry.remove()) {
            qWarning("Could not remove %s: %s.", qPrintable(path), qPrintable(entry.errorString()));
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        qWarning("Could not create the folder of %s.", qPrintable(path));
        return false;
    }
    // The installed program is started through its link in the search path; a build is started
    // where it lies.
    const QString program = QCoreApplication::applicationFilePath();
    const QString onPath = QStandardPaths::findExecutable(QFileInfo(program).fileName());
    const bool sameProgram =
        !onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == QFileInfo(program).canonicalFilePath();
    const QString exec = sameProgram ? QFileInfo(program).fileName() : execArgument(program);
    const QByteArray text = "[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Korvo TFT\n"
                            "Comment=Keep the USB TFT Screen showing live figures\n"
                            "Exec=" +
                            exec.toUtf8() +
                            "\n"
                            "Icon=org.korvo.KorvoTFT\n"
                            "Terminal=false\n"
                            "NoDisplay=true\n"
                            "X-GNOME-Autostart-enabled=true\n";
    QSaveFile entry(path);
    if (!entry.open(QIODevice::WriteOnly) || entry.write(text) != text.size() || !entry.commit()) {
        qWarning("Could not write %s: %s.", qPrintable(path), qPrintable(entry.errorString()));
        return false;
    }
    return true;
}

#endif

} // namespace korvo::autostart
