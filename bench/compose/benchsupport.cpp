// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchsupport.h"

#include "compose/applyrenderer.h"
#include "compose/fonts.h"
#include "compose/previewgeometry.h"
#include "config/configstore.h"
#include "config/themeprofile.h"
#include "link/link.h"
#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace benchsupport {

using namespace korvo;

namespace {

void publishTo(metrics::CpuInfoSegment& memory, int temperature, int load, int power)
{
    memory.publish(metrics::cpuInfoBytes({temperature, load, power, 0}));
}

} // namespace

bool Stage::start()
{
    if (!home.isValid())
        return false;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("KORVO_CPUINFO_KEY", QByteArray("KorvoBench") + QByteArray::number(qint64(::getpid())));
    compose::installFontSubstitutions();
    screen = std::make_unique<link::VirtualScreen>();
    link::InitDeviceTable();
    if (link::EnumerateScreens() != 0) {
        std::fprintf(stderr, "The virtual screen was not found.\n");
        return false;
    }
    if (!cpuInfo.create()) {
        std::fprintf(stderr, "No shared memory: %s\n", qPrintable(cpuInfo.errorString()));
        return false;
    }
    const QString source = QStringLiteral(KORVO_SOURCE_DIR "/resources/templates/Config.ini");
    QFile::remove(configFilePath());
    if (!QFile::copy(source, configFilePath())) {
        std::fprintf(stderr, "Unable to copy %s\n", qPrintable(source));
        return false;
    }
    ThemeProfile profile;
    loadThemeProfile(profile);
    layout.record = profile.landscape[0];
    layout.record.Show_[FanSpeed] = 1;
    layout.record.ShowStringRect_[FanSpeed] = QRect(100, 5, 68, 30);
    picture = QImage(layout.record.StringD1);
    if (picture.isNull()) {
        std::fprintf(stderr, "The theme picture %s is missing.\n", qPrintable(layout.record.StringD1));
        return false;
    }
    publishTo(cpuInfo, 45, 65, 15);
    if (!compose::applyLayout(layout, picture, compose::editorSize(0)))
        return false;
    // Config.ini and the committed layout as an apply that landed leaves them.
    return document.commit(layout).write();
}

bool Publisher::start(int seconds)
{
    process_.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--publisher"), QString::number(seconds)});
    if (process_.waitForStarted())
        return true;
    std::fprintf(stderr, "The publisher did not start: %s\n", qPrintable(process_.errorString()));
    return false;
}

Publisher::~Publisher()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished();
}

int beforeApplication(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc != 3 || std::strcmp(argv[1], "--publisher") != 0)
        return -1;
    metrics::CpuInfoSegment memory;
    if (!memory.attach()) {
        std::fprintf(stderr, "The publisher found no segment: %s\n", qPrintable(memory.errorString()));
        return 1;
    }
    const int seconds = std::atoi(argv[2]);
    for (int s = 0; s < seconds; ++s) {
        publishTo(memory, 40 + s % 60, 2 + s % 97, 3 + s % 89);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return 0;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int openDescriptors()
{
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

double cpuSeconds()
{
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return -1;
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace benchsupport
