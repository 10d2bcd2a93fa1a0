#include "config/wholefile.h"

#include "config/configstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvo {
namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

bool fail(QSaveFile& file, QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    file.cancelWriting();
    return false;
}

// QSaveFile::commit() flushes its buffer without looking at the result and then replaces the
// old file anyway, so a disk that fills during the last write would leave a cut file behind.
// Every write, the flush and the sync are checked here before commit() may rename.
bool finish(QSaveFile& file, QString* why)
{
    if (!file.flush())
        return fail(file, why, file.errorString());
#ifndef Q_OS_WIN
    // Some file systems report a full disk only when the data reaches it.
    if (::fsync(file.handle()) != 0)
        return fail(file, why, QString::fromLocal8Bit(std::strerror(errno)));
#endif
    if (!file.setPermissions(OwnerOnlyFile))
        return fail(file, why, QStringLiteral("its permissions cannot be set: %1").arg(file.errorString()));
    if (!file.commit()) {
        if (why)
            *why = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* why)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (why)
            *why = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size())
        return fail(file, why, file.errorString());
    return finish(file, why);
}

bool copyWholeFile(const QString& from, const QString& to, qint64 limit, QString* why)
{
    const auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    // A FIFO would block the copy and a device never end it.
    if (!QFileInfo(from).isFile())
        return refuse(QStringLiteral("%1 is not a regular file").arg(from));
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return refuse(source.errorString());
    QSaveFile file(to);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    qint64 copied = 0;
    for (;;) {
        const QByteArray chunk = source.read(ChunkBytes);
        if (chunk.isEmpty()) {
            if (source.error() != QFileDevice::NoError)
                return fail(file, why, source.errorString());
            break;
        }
        copied += chunk.size();
        if (copied > limit)
            return fail(file, why, QStringLiteral("%1 is larger than %2 bytes").arg(from).arg(limit));
        if (file.write(chunk) != chunk.size())
            return fail(file, why, file.errorString());
    }
    return finish(file, why);
}

} // namespace korvo
