#include "platform/runtimefolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace korvo::platform {
namespace {

constexpr mode_t OwnerOnly = 0700;

// Why the folder cannot hold what only this user may reach; empty when it can. A link is not
// followed: whoever may change the link would choose the folder.
QString unusable(const QString& folder)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return QStringLiteral("it does not exist");
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("it is not a folder");
    if (status.st_uid != geteuid())
        return QStringLiteral("it belongs to another user");
    if ((status.st_mode & 0777) != OwnerOnly)
        return QStringLiteral("others may enter it");
    return {};
}

// The same message is logged once: the folder is looked up at every request to GetCPUInfo.
void logOnce(const QString& message)
{
    static std::mutex mutex;
    static QString last;
    std::lock_guard<std::mutex> guard(mutex);
    if (message == last)
        return;
    last = message;
    qWarning("Runtime folder: %s", qUtf8Printable(message));
}

QString cacheFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        logOnce(QStringLiteral("no cache folder to make a private one in"));
        return {};
    }
    const QString folder = cache + QStringLiteral("/korvo-tft-runtime");
    const QByteArray name = QFile::encodeName(folder);
    if (!QDir().mkpath(cache) || (::mkdir(name.constData(), OwnerOnly) != 0 && errno != EEXIST)) {
        logOnce(QStringLiteral("cannot create %1").arg(folder));
        return {};
    }
    // Made by an earlier start under another umask, or opened up by hand: ours to close again.
    struct stat status
    {
    };
    if (::lstat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
        (status.st_mode & 0777) != OwnerOnly)
        ::chmod(name.constData(), OwnerOnly);
    const QString why = unusable(folder);
    if (!why.isEmpty()) {
        logOnce(QStringLiteral("not using %1: %2").arg(folder, why));
        return {};
    }
    return folder;
}

} // namespace

QString privateRuntimeFolder()
{
    // Qt's own answer falls back to a folder in /tmp, which another user can make first.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString why;
    if (runtime.isEmpty())
        why = QStringLiteral("XDG_RUNTIME_DIR is not set");
    else if (QDir::isRelativePath(runtime))
        why = QStringLiteral("XDG_RUNTIME_DIR is not an absolute path");
    else if (const QString problem = unusable(runtime); !problem.isEmpty())
        why = QStringLiteral("XDG_RUNTIME_DIR (%1): %2").arg(runtime, problem);
    if (why.isEmpty())
        return runtime;
    const QString folder = cacheFolder();
    if (!folder.isEmpty())
        logOnce(QStringLiteral("%1; using %2").arg(why, folder));
    return folder;
}

} // namespace korvo::platform
