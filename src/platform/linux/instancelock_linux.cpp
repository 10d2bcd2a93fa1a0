#include "platform/instancelock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvo::platform {
namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

InstanceLock::InstanceLock(QString path) : path_(std::move(path)) {}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it would let a copy that opened it a moment ago lock a file that
    // no longer has a name while a third copy creates a new one.
    if (fd_ >= 0)
        ::close(fd_);
}

InstanceLock::Result InstanceLock::tryLock(const std::function<bool()>& copyAnswers)
{
    if (fd_ >= 0)
        return Result::Acquired;
    const QByteArray name = QFile::encodeName(path_);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // No link is followed and no FIFO waited on.
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        struct stat status
        {
        };
        if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid()) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                fd_ = fd;
                // For whoever looks: the holder's pid. Nothing reads it back.
                const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
                if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) != pid.size())
                    error_ = systemError("write");
                return Result::Acquired;
            }
            const bool held = errno == EWOULDBLOCK;
            error_ = systemError("flock");
            ::close(fd);
            return held ? Result::HeldByAnother : Result::Failed;
        }
        const int openError = errno;
        if (fd >= 0)
            ::close(fd);
        const bool inTheWay = fd >= 0 || openError == ELOOP || openError == EISDIR || openError == ENXIO;
        errno = openError;
        error_ = fd >= 0 ? QStringLiteral("%1 is not a file of this user").arg(path_) : systemError("open");
        if (!inTheWay || attempt > 0)
            return Result::Failed;
        if (copyAnswers && copyAnswers())
            return Result::HeldByAnother;
        // Left by a crash, a mistake or someone who could write here: it is in the way.
        const bool removed = ::unlink(name.constData()) == 0 || QDir(path_).removeRecursively();
        if (!removed) {
            error_ = QStringLiteral("%1 is in the way and cannot be removed").arg(path_);
            return Result::Failed;
        }
        qWarning("Lock: %s was not a usable lock file and was removed", qUtf8Printable(path_));
    }
    return Result::Failed;
}

} // namespace korvo::platform
