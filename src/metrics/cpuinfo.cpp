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
    memory().setKey(cpuInfoMemoryKey());
    return memory().create(size, QSharedMemory::ReadWrite);
}

bool attachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    // Setting the same key again leaves an existing attachment alone.
    memory().setKey(cpuInfoMemoryKey());
    return memory().attach(QSharedMemory::ReadWrite);
}

void readCpuInfo(int& temperature, int& load, int& power, int& reserved)
{
    temperature = load = power = reserved = 1;
    std::lock_guard<std::mutex> guard(memoryMutex);
    QSharedMemory& segment = memory();
    // GetCPUInfo writes under the same lock; a failed lock still gets a best-effort read, the
    // words are aligned and at worst one figure is a second old.
    segment.lock();
    if (const void* data = segment.constData()) {
        qint32 words[4];
        std::memcpy(words, data, sizeof(words));
        // A figure that cannot be real reads as unavailable, so the screen shows what it shows
        // without GetCPUInfo rather than a clipped number that looks like a measurement.
        const qint32 t = qFromLittleEndian(words[0]), l = qFromLittleEndian(words[1]), p = qFromLittleEndian(words[2]);
        temperature = isPlausibleTemperature(t) ? t : 1;
        load = isPlausibleLoad(l) ? l : 1;
        power = isPlausiblePower(p) ? p : 1;
        reserved = qFromLittleEndian(words[3]);
    }
    segment.unlock();
}

uint32_t readCpuInfoHeartbeat()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    QSharedMemory& segment = memory();
    quint32 beat = 0;
    segment.lock();
    if (const auto* data = static_cast<const char*>(segment.constData()); data && segment.size() >= HeartbeatOffset + 4)
        std::memcpy(&beat, data + HeartbeatOffset, sizeof beat);
    segment.unlock();
    return qFromLittleEndian(beat);
}

void detachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    memory().detach();
}

} // namespace korvo::metrics
