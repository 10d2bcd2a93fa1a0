#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"
#include "platform/runtimefolder.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvo::metrics {
namespace {

constexpr int BlockWords = CpuInfoBlockSize / 4;
// After the block, out of its way: odd while a publish is under way.
constexpr int SequenceOffset = CpuInfoMemorySize - 4;
// A publish takes a few stores; a reader that still meets one after this many tries has met a
// writer that died in the middle and reads nothing.
constexpr int ReadAttempts = 1000;

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

QString segmentPath()
{
    const QString folder = platform::privateRuntimeFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + cpuInfoMemoryKey();
}

} // namespace

struct CpuInfoSegment::Private
{
    bool open(bool create);
    void unmap();
    // The mapped file is no longer the one at the path: GetCPUInfo ended and a new copy began.
    bool replaced() const;

    uint32_t* words() const { return static_cast<uint32_t*>(map); }
    uint32_t* sequence() const { return words() + SequenceOffset / 4; }

    void* map = nullptr;
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    QString error;
};

bool CpuInfoSegment::Private::open(bool create)
{
    unmap();
    path = segmentPath();
    if (path.isEmpty()) {
        error = QStringLiteral("no folder private to this user");
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (create ? O_CREAT : 0), 0600);
    if (fd < 0) {
        error = systemError("open");
        return false;
    }
    struct stat status
    {
    };
    bool usable = false;
    if (::fstat(fd, &status) != 0)
        error = systemError("fstat");
    else if (!S_ISREG(status.st_mode) || status.st_uid != geteuid() || (status.st_mode & 077) != 0)
        error = QStringLiteral("%1 is not a file of this user alone").arg(path);
    // Whoever comes first makes it full size; the other finds it so. It only ever grows.
    else if (status.st_size < CpuInfoMemorySize && ::ftruncate(fd, CpuInfoMemorySize) != 0)
        error = systemError("ftruncate");
    else
        usable = true;
    if (usable) {
        void* mapped = ::mmap(nullptr, CpuInfoMemorySize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (mapped == MAP_FAILED) {
            error = systemError("mmap");
            usable = false;
        } else {
            map = mapped;
            device = status.st_dev;
            inode = status.st_ino;
        }
    }
    ::close(fd);
    return usable;
}

void CpuInfoSegment::Private::unmap()
{
    if (map)
        ::munmap(map, CpuInfoMemorySize);
    map = nullptr;
}

bool CpuInfoSegment::Private::replaced() const
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
           (status.st_dev != device || status.st_ino != inode);
}

CpuInfoSegment::CpuInfoSegment() : d(std::make_unique<Private>()) {}

CpuInfoSegment::~CpuInfoSegment()
{
    d->unmap();
}

bool CpuInfoSegment::create()
{
    return d->open(true);
}

bool CpuInfoSegment::attach()
{
    return d->open(false);
}

void CpuInfoSegment::detach()
{
    d->unmap();
}

void CpuInfoSegment::remove()
{
    if (d->map && !d->replaced())
        ::unlink(QFile::encodeName(d->path).constData());
    d->unmap();
}

bool CpuInfoSegment::isAttached() const
{
    return d->map != nullptr;
}

QString CpuInfoSegment::errorString() const
{
    return d->error;
}

bool CpuInfoSegment::read(CpuInfoBytes& bytes) const
{
    if (d->map && d->replaced())
        d->open(false);
    if (!d->map)
        return false;
    uint32_t words[BlockWords];
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        const uint32_t before = __atomic_load_n(d->sequence(), __ATOMIC_ACQUIRE);
        if ((before & 1) == 0) {
            for (int n = 0; n < BlockWords; ++n)
                words[n] = __atomic_load_n(d->words() + n, __ATOMIC_RELAXED);
            __atomic_thread_fence(__ATOMIC_ACQUIRE);
            if (__atomic_load_n(d->sequence(), __ATOMIC_RELAXED) == before) {
                std::memcpy(bytes.data(), words, sizeof words);
                return true;
            }
        }
        sched_yield();
    }
    d->error = QStringLiteral("no whole block: a publish never finished");
    return false;
}

bool CpuInfoSegment::publish(const CpuInfoBytes& bytes)
{
    if (!d->map)
        return false;
    uint32_t words[BlockWords];
    std::memcpy(words, bytes.data(), sizeof words);
    // One writer at a time (GetCPUInfo's own lock); an odd count left by one that died is closed.
    uint32_t sequence = __atomic_load_n(d->sequence(), __ATOMIC_RELAXED);
    sequence += (sequence & 1) ? 1 : 0;
    __atomic_store_n(d->sequence(), sequence + 1, __ATOMIC_RELAXED);
    __atomic_thread_fence(__ATOMIC_RELEASE);
    for (int n = 0; n < BlockWords; ++n)
        __atomic_store_n(d->words() + n, words[n], __ATOMIC_RELAXED);
    __atomic_store_n(d->sequence(), sequence + 2, __ATOMIC_RELEASE);
    return true;
}

} // namespace korvo::metrics
