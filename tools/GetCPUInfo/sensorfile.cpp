#include "GetCPUInfo/sensorfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvo::sensors {

SensorRoots SensorRoots::fromEnvironment()
{
    SensorRoots roots{qEnvironmentVariable("KORVO_SYSFS_ROOT"), qEnvironmentVariable("KORVO_PROC_ROOT"),
                      qEnvironmentVariable("KORVO_NVML_LIBRARY")};
    if (roots.sys.isEmpty())
        roots.sys = QStringLiteral("/sys");
    if (roots.proc.isEmpty())
        roots.proc = QStringLiteral("/proc");
    if (roots.nvml.isEmpty()) {
#ifdef Q_OS_WIN
        roots.nvml = QStringLiteral("nvml.dll");
#else
        roots.nvml = QStringLiteral("libnvidia-ml.so.1");
#endif
    }
    return roots;
}

// sysfs and procfs files report a size of 0, so they are read to a bound rather than to size().
std::optional<QByteArray> readFirstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = file.readLine(4096);
    if (line.isEmpty())
        return std::nullopt;
    return line.trimmed();
}

std::optional<qint64> readInteger(const QString& path)
{
    const std::optional<QByteArray> text = readFirstLine(path);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 value = text->toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QStringList numberedEntries(const QString& folder, const QString& prefix)
{
    QStringList names = QDir(folder).entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), [&prefix](const QString& a, const QString& b) {
        return a.mid(prefix.size()).toInt() < b.mid(prefix.size()).toInt();
    });
    for (QString& name : names)
        name = folder + QLatin1Char('/') + name;
    return names;
}

QStringList hwmonFolders(const QString& sysRoot)
{
    return numberedEntries(sysRoot + QStringLiteral("/class/hwmon"), QStringLiteral("hwmon"));
}

QByteArray chipName(const QString& hwmonFolder)
{
    return readFirstLine(hwmonFolder + QStringLiteral("/name")).value_or(QByteArray());
}

QString hwmonSource(const QString& folder)
{
    return QFileInfo(folder).fileName() + QLatin1Char(' ') + QString::fromUtf8(chipName(folder));
}

QByteArray inputLabel(const QString& inputFile)
{
    QString label = inputFile;
    label.replace(QLatin1String("_input"), QLatin1String("_label"));
    return readFirstLine(label).value_or(QByteArray());
}

std::optional<qint64> SensorFile::read(const Finder& find)
{
    if (!path_.isEmpty()) {
        if (const std::optional<qint64> value = readInteger(path_)) {
            samplesToSearch_ = 0; // a file that read well is looked for again at once when it goes
            return value;
        }
    }
    if (samplesToSearch_ > 0) {
        --samplesToSearch_;
        return std::nullopt;
    }
    samplesToSearch_ = RescanSamples;
    const QString found = find();
    if (found.isEmpty())
        return std::nullopt; // the old file stays the one to try again
    path_ = found;
    const std::optional<qint64> value = readInteger(path_);
    if (value)
        samplesToSearch_ = 0;
    return value;
}

} // namespace korvo::sensors
