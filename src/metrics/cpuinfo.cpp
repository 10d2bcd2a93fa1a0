#include "metrics/cpuinfo.h"

#include <QSharedMemory>
#include <QtEndian>

#include <cstring>
#include <mutex>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace korvo::metrics {
namespace {

// The one segment object of the process. Created and detached on the GUI thread, read on the
// refresh thread; the mutex orders those in a way the thread sanitizer can see (Qt's own
// synchronisation is invisible to it), and keeps a late read from meeting a half-done detach.
std::mutex memoryMutex;

QSharedMemory& memory()
{
    static QSharedMemory segment;
    return segment;
}

} // namespace

QString cpuInfoMemoryKey()
{
    QString key = qEnvironmentVariable("KORVO_CPUINFO_KEY");
    if (key.isEmpty())
        key = QString::fromLatin1(CpuInfoMemoryKey);
#ifndef Q_OS_WIN
    // Qt keeps the key's file in /tmp for every user, and the first user's segment is theirs
    // alone: each user needs a key of their own, as each has their own socket and lock.
    key += QLatin1Char('-') + QString::number(geteuid());
#endif
    return key;
}

bool createCpuInfoMemory(int size)
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    QSharedMemory& segment = memory();
    segment.setKey(cpuInfoMemoryKey());
    if (!segment.create(size, QSharedMemory::ReadWrite))
        return false;
    // Until GetCPUInfo writes, nothing has been measured: zeros would read as a 0 ℃ CPU.
    if (segment.size() >= CpuInfoBlockSize && segment.lock()) {
        const qint32 unavailable = qToLittleEndian<qint32>(UnavailableFigure);
        for (int offset : {0, 4, 8, FanSpeedOffset, GpuTemperatureOffset, GpuLoadOffset})
            std::memcpy(static_cast<char*>(segment.data()) + offset, &unavailable, sizeof(unavailable));
        segment.unlock();
    }
    return true;
}

bool attachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    // Setting the same key again leaves an existing attachment alone.
    memory().setKey(cpuInfoMemoryKey());
    return memory().attach(QSharedMemory::ReadWrite);
}

CpuInfoBlock readCpuInfo()
{
    CpuInfoBlock block;
    std::lock_guard<std::mutex> guard(memoryMutex);
    QSharedMemory& segment = memory();
    // GetCPUInfo writes under the same lock; a failed lock still gets a best-effort read, the
    // words are aligned and at worst one figure is a second old.
    segment.lock();
    const void* data = segment.constData();
    if (data && segment.size() >= CpuInfoBlockSize) {
        qint32 words[CpuInfoBlockSize / 4];
        std::memcpy(words, data, sizeof(words));
        const auto word = [&words](int offset) { return qFromLittleEndian(words[offset / 4]); };
        // A figure that cannot be real is shown as unavailable, never as a clipped number that
        // looks like a measurement.
        const auto figure = [](qint32 value, bool (*plausible)(int)) {
            return plausible(value) ? value : UnavailableFigure;
        };
        block.cpuTemperature = figure(word(0), isPlausibleTemperature);
        block.cpuLoad = figure(word(4), isPlausibleLoad);
        block.cpuPower = figure(word(8), isPlausiblePower);
        block.reserved = word(12);
        block.fanSpeed = figure(word(FanSpeedOffset), isPlausibleFanSpeed);
        block.gpuTemperature = figure(word(GpuTemperatureOffset), isPlausibleTemperature);
        block.gpuLoad = figure(word(GpuLoadOffset), isPlausibleLoad);
    }
    segment.unlock();
    return block;
}

void detachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    memory().detach();
}

} // namespace korvo::metrics
