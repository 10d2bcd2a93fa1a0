// SPDX-License-Identifier: GPL-3.0-or-later
#include "GetCPUInfo/locallistener.h"

#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvo::sensors {
namespace {

constexpr int Backlog = 16;
// When no client can be taken at all, the listener rests this long rather than spin on an
// accept that keeps failing.
constexpr int RetryMs = 200;

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

LocalListener::LocalListener(QObject* parent) : QObject(parent) {}

LocalListener::~LocalListener()
{
    close();
}

bool LocalListener::listen(const QString& path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path) {
        error_ = QStringLiteral("no usable socket path");
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) {
        error_ = systemError("socket");
        return false;
    }
    ::unlink(name.constData()); // a leftover of a copy that died; the lock says none runs
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, Backlog) != 0) {
        error_ = systemError("bind/listen");
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    path_ = path;
    if (spare_ < 0)
        spare_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &LocalListener::acceptPending);
    return true;
}

void LocalListener::close()
{
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(QFile::encodeName(path_).constData());
    }
    fd_ = -1;
    if (spare_ >= 0)
        ::close(spare_);
    spare_ = -1;
}

void LocalListener::acceptPending()
{
    for (;;) {
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client >= 0) {
            auto* socket = new QLocalSocket(this);
            if (!socket->setSocketDescriptor(client)) {
                ::close(client);
                delete socket;
                continue;
            }
            emit accepted(socket);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EMFILE || errno == ENFILE)
            turnAwayOne();
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            qWarning("GetCPUInfo: cannot accept a client: %s", std::strerror(errno));
        return;
    }
}

void LocalListener::turnAwayOne()
{
    if (!exhaustionReported_)
        qWarning("GetCPUInfo: out of descriptors; turning clients away until some are free.");
    exhaustionReported_ = true;
    if (spare_ >= 0) {
        ::close(spare_);
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0)
            ::close(client);
        spare_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (client >= 0)
            return;
    }
    // Not even the spare: rest, and let the clients already taken finish.
    setAccepting(false);
    QTimer::singleShot(RetryMs, this, [this] { setAccepting(true); });
}

// UBSan checks a member call's dynamic type by writing the vtable into a pipe it opens for the
// purpose; with no descriptor left it cannot, and reports every such call as one on a wrong
// object. Here descriptors are known to have run out, so that check is left out.
#if defined(__GNUC__)
__attribute__((no_sanitize("vptr")))
#endif
void LocalListener::setAccepting(bool accepting)
{
    if (notifier_)
        notifier_->setEnabled(accepting);
}

} // namespace korvo::sensors
