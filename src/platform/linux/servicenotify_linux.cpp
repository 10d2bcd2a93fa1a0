// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/servicenotify.h"

#include <QDebug>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvo::platform {

bool notifyServiceManager(const QByteArray& state)
{
    const QByteArray name = qgetenv("NOTIFY_SOCKET");
    if (name.isEmpty())
        return false;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if ((name.front() != '/' && name.front() != '@') || size_t(name.size()) >= sizeof address.sun_path) {
        qWarning("NOTIFY_SOCKET \"%s\" is not a socket the service manager can listen on; it is not told \"%s\".",
                 name.constData(), state.constData());
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    // An abstract name is the bytes after a zero byte, exactly as long as given.
    if (name.front() == '@')
        address.sun_path[0] = '\0';
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        qWarning("Cannot tell the service manager \"%s\": socket: %s", state.constData(), std::strerror(errno));
        return false;
    }
    const ssize_t sent = ::sendto(fd, state.constData(), size_t(state.size()), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address), length);
    const int error = errno;
    ::close(fd);
    if (sent != ssize_t(state.size())) {
        qWarning("Cannot tell the service manager \"%s\" at %s: %s", state.constData(), name.constData(),
                 sent < 0 ? std::strerror(error) : "the datagram was cut short");
        return false;
    }
    return true;
}

} // namespace korvo::platform
