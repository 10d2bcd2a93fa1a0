// Smoke-run helper, run under Wine beside the program: is GetCPUInfo's hidden window there, and
// what does its shared memory hold? Prints one line; exit 0 when both are found.
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QSharedMemory>
#include <QtEndian>

#include <cstdio>

#include <windows.h>

int main()
{
    const bool window = FindWindowW(korvo::platform::SiblingWindowClass, korvo::platform::SiblingWindowTitle);
    QSharedMemory memory(QString::fromLatin1(korvo::metrics::CpuInfoMemoryKey));
    const bool segment = memory.attach(QSharedMemory::ReadOnly);
    std::printf("hidden window %s; segment %s", window ? "found" : "missing",
                segment ? "found" : qPrintable(memory.errorString()));
    if (segment) {
        memory.lock();
        const auto* words = static_cast<const uchar*>(memory.constData());
        std::printf(": words");
        for (int i = 0; i < 8 && (i + 1) * 4 <= memory.size(); ++i)
            std::printf(" %d", qFromLittleEndian<qint32>(words + i * 4));
        memory.unlock();
    }
    std::printf("\n");
    return window && segment ? 0 : 1;
}
