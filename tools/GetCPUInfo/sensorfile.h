#pragma once

// Reading sysfs and procfs the way every sensor of GetCPUInfo does.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace korvo::sensors {

// The roots of sysfs and procfs: KORVO_SYSFS_ROOT and KORVO_PROC_ROOT, "/sys" and "/proc"
// without them, so that a test can run the measurements on a tree of its own. `nvml` is the NVML
// library to load (KORVO_NVML_LIBRARY, else the driver's own); empty, no NVML is loaded.
struct SensorRoots
{
    QString sys;
    QString proc;
    QString nvml;
    static SensorRoots fromEnvironment();
};

std::optional<QByteArray> readFirstLine(const QString& path);
std::optional<qint64> readInteger(const QString& path);

// The folders named prefix0, prefix1, ... in numeric order (hwmon10 after hwmon2).
QStringList numberedEntries(const QString& folder, const QString& prefix);
QStringList hwmonFolders(const QString& sysRoot);
// "hwmon3 k10temp": how a folder is named in a figure's source.
QString hwmonSource(const QString& folder);
QByteArray chipName(const QString& hwmonFolder);
// The label that goes with an input file ("temp2_input" → "temp2_label"), empty without one.
QByteArray inputLabel(const QString& inputFile);

// A sensor file that is looked for once and then read every sample. One that stops reading is
// tried again each sample, since a driver or GPU reset takes it away only for a moment; a new
// search runs at once the first time, and then at most every RescanSamples samples, so that a
// machine without the sensor is not searched through once a second.
class SensorFile
{
public:
    static constexpr int RescanSamples = 10;
    using Finder = std::function<QString()>;

    std::optional<qint64> read(const Finder& find);
    const QString& path() const { return path_; }

private:
    QString path_;
    int samplesToSearch_ = 0;
};

} // namespace korvo::sensors
