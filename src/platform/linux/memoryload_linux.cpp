#include "platform/meminfo.h"
#include "platform/memoryload.h"

#include <QFile>

namespace korvo::platform {

int memoryLoadFromMeminfo(const QByteArray& meminfo)
{
    qint64 total = -1;
    qint64 available = -1;
    for (const QByteArray& line : meminfo.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon);
        if (key != "MemTotal" && key != "MemAvailable")
            continue;
        const QList<QByteArray> words = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        const qint64 kib = words.value(0).toLongLong(&ok);
        if (!ok || kib < 0)
            continue;
        (key == "MemTotal" ? total : available) = kib;
    }
    if (total <= 0 || available < 0 || available > total)
        return 0;
    // Windows truncates: used pages * 100 / total pages.
    return static_cast<int>((total - available) * 100 / total);
}

int memoryLoadPercent()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    // /proc files report size 0; read what is there, bounded.
    return memoryLoadFromMeminfo(file.read(64 * 1024));
}

} // namespace korvo::platform
