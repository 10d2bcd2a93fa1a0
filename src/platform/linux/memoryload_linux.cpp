#include "platform/meminfo.h"
#include "platform/memoryload.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace korvo::platform {

namespace {

// The kB figure after "key:" on one line, or -1.
qint64 kibAfter(const char* line, const char* end)
{
    const char* p = line;
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    if (p == end || *p < '0' || *p > '9')
        return -1;
    qint64 value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        if (value > (qint64(1) << 50)) // beyond any machine's memory: the text is not meminfo
            return -1;
        value = value * 10 + (*p - '0');
    }
    return value;
}

} // namespace

int memoryLoadFromMeminfo(const QByteArray& meminfo)
{
    qint64 total = -1;
    qint64 available = -1;
    const char* const end = meminfo.constData() + meminfo.size();
    // Runs twice a second on the refresh thread: walks the text in place, no copies.
    for (const char* line = meminfo.constData(); line < end;) {
        const char* lineEnd = line;
        while (lineEnd < end && *lineEnd != '\n')
            ++lineEnd;
        const QByteArray key = QByteArray::fromRawData(line, int(lineEnd - line));
        if (key.startsWith("MemTotal:"))
            total = kibAfter(line + 9, lineEnd);
        else if (key.startsWith("MemAvailable:"))
            available = kibAfter(line + 13, lineEnd);
        line = lineEnd + 1;
    }
    if (total <= 0 || available < 0 || available > total)
        return -1;
    // Windows truncates: used pages * 100 / total pages.
    return static_cast<int>((total - available) * 100 / total);
}

int memoryLoadPercent()
{
    // Read twice a second for as long as the program runs: the file stays open, since opening it
    // again each time costs more than the read itself.
    static const int fd = [] {
        const int opened = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
        if (opened < 0)
            qWarning("Unable to open /proc/meminfo; the memory load is unavailable.");
        return opened;
    }();
    if (fd < 0)
        return -1;
    // MemTotal and MemAvailable are among the first lines; /proc/meminfo is under 2 KiB.
    char text[4096];
    ssize_t got = 0;
    do {
        got = ::pread(fd, text, sizeof(text), 0);
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
        return -1;
    return memoryLoadFromMeminfo(QByteArray::fromRawData(text, int(got)));
}

} // namespace korvo::platform
