#include "metrics/cpuinfo.h"

#include "metrics/cpuinfosegment.h"

#include <QtEndian>

#include <cstring>
#include <mutex>

namespace korvo::metrics {
namespace {

// The one segment of the process. Created and detached on the GUI thread, read on the refresh
// thread; the mutex keeps a late read from meeting a half-done detach.
std::mutex memoryMutex;

CpuInfoSegment& memory()
{
    static CpuInfoSegment segment;
    return segment;
}

} // namespace

CpuInfoBytes cpuInfoBytes(std::initializer_list<int32_t> words)
{
    CpuInfoBytes bytes{};
    int offset = 0;
    for (const int32_t word : words) {
        if (offset + 4 > CpuInfoBlockBytes)
            break;
        qToLittleEndian<qint32>(word, bytes.data() + offset);
        offset += 4;
    }
    return bytes;
}

int32_t cpuInfoWord(const CpuInfoBytes& bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.data() + offset);
}

QString cpuInfoMemoryKey()
{
    QString key = qEnvironmentVariable("KORVO_CPUINFO_KEY");
    if (key.isEmpty())
        key = QString::fromLatin1(CpuInfoMemoryKey);
    return key;
}

bool createCpuInfoMemory(int size)
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    return size >= CpuInfoMemorySize && memory().create();
}

bool attachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    return memory().attach();
}

void readCpuInfo(int& temperature, int& load, int& power, int& reserved)
{
    temperature = load = power = reserved = 1;
    CpuInfoBytes bytes{};
    {
        std::lock_guard<std::mutex> guard(memoryMutex);
        if (!memory().read(bytes))
            return;
    }
    // A figure that cannot be real reads as unavailable, so the screen shows what it shows
    // without GetCPUInfo rather than a clipped number that looks like a measurement.
    const qint32 t = cpuInfoWord(bytes, 0), l = cpuInfoWord(bytes, 4), p = cpuInfoWord(bytes, 8);
    temperature = isPlausibleTemperature(t) ? t : 1;
    load = isPlausibleLoad(l) ? l : 1;
    power = isPlausiblePower(p) ? p : 1;
    reserved = cpuInfoWord(bytes, 12);
}

void detachCpuInfoMemory()
{
    std::lock_guard<std::mutex> guard(memoryMutex);
    memory().detach();
}

} // namespace korvo::metrics
