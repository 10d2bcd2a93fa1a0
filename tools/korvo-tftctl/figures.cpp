#include "figures.h"

#include "GetCPUInfo/sensors.h"
#include "metrics/figuretexts.h"
#include "platform/memoryload.h"
#ifndef Q_OS_WIN
#include "platform/meminfo.h"
#endif

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <cstdio>

namespace {

using korvo::metrics::UnavailableFigure;
using korvo::sensors::Figure;

// Load and power are rates: two readings this far apart give them.
constexpr int RateIntervalMs = 500;

struct Row
{
    const char* name;
    QString text;
    bool available;
    QString source;
};

int memoryLoad(const korvo::sensors::SensorRoots& roots, QString& source)
{
#ifdef Q_OS_WIN
    Q_UNUSED(roots);
    source = QStringLiteral("GlobalMemoryStatusEx");
    return korvo::platform::memoryLoadPercent();
#else
    source = roots.proc + QStringLiteral("/meminfo");
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        source += QStringLiteral(" cannot be read");
        return -1;
    }
    const int percent = korvo::platform::memoryLoadFromMeminfo(file.read(64 * 1024));
    if (percent < 0)
        source += QStringLiteral(" lacks MemTotal or MemAvailable");
    return percent;
#endif
}

} // namespace

int figuresCommand(const QStringList& arguments)
{
    const bool json = arguments == QStringList{QStringLiteral("--json")};
    if (!json && !arguments.isEmpty()) {
        std::fputs("korvo-tftctl: usage: korvo-tftctl figures [--json]\n", stderr);
        return 1;
    }
    const korvo::sensors::SensorRoots roots = korvo::sensors::SensorRoots::fromEnvironment();
    korvo::sensors::CpuSampler sampler(roots);
    QElapsedTimer clock;
    clock.start();
    sampler.sample(0);
    QThread::msleep(RateIntervalMs);
    const korvo::sensors::CpuFigures f = sampler.sample(clock.nsecsElapsed() / 1000);
    QString memorySource;
    const int memory = memoryLoad(roots, memorySource);

    using namespace korvo::metrics;
    const auto row = [&sampler](const char* name, QString text, int32_t value, Figure figure) {
        return Row{name, std::move(text), value != UnavailableFigure, sampler.source(figure)};
    };
    const Row rows[] = {
        row("cpu-temperature", temperatureText(f.temperature), f.temperature, Figure::CpuTemperature),
        row("cpu-load", loadText(f.load), f.load, Figure::CpuLoad),
        {"memory-load", memoryLoadText(memory), memory >= 0, memorySource},
        row("cpu-power", powerText(f.power), f.power, Figure::CpuPower),
        row("fan-speed", fanSpeedText(f.fanSpeed), f.fanSpeed, Figure::FanSpeed),
        row("gpu-temperature", temperatureText(f.gpuTemperature), f.gpuTemperature, Figure::GpuTemperature),
        row("gpu-load", gpuLoadText(f.gpuLoad), f.gpuLoad, Figure::GpuLoad),
        {"time", timeText(), true, QStringLiteral("local clock")},
        {"date", dateText(), true, QStringLiteral("local clock")},
    };

    QByteArray out;
    if (json) {
        QJsonObject figures;
        for (const Row& r : rows)
            figures.insert(QLatin1String(r.name), QJsonObject{{QStringLiteral("text"), r.text},
                                                              {QStringLiteral("available"), r.available},
                                                              {QStringLiteral("source"), r.source}});
        out = QJsonDocument(figures).toJson(QJsonDocument::Indented);
    } else {
        for (const Row& r : rows)
            out += QStringLiteral("%1 %2 %3\n")
                       .arg(QLatin1String(r.name), -16)
                       .arg(r.text, -8)
                       .arg(r.available ? r.source : QStringLiteral("unavailable: ") + r.source)
                       .toUtf8();
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 3;
}
