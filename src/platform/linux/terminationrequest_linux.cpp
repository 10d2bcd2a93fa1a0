// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminationrequest.h"

#include <QDebug>
#include <QObject>
#include <QSocketNotifier>

#include <functional>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korvo::platform {
namespace {

// A signal handler may do next to nothing; it writes the signal's number as a byte that the
// event loop then reads.
int signalPipe[2] = {-1, -1};
// Set on the thread that reads the pipe; the signal handler never touches it.
std::function<void()> reloadHandler;

void onSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

bool onTerminationRequest(QObject* context, std::function<void()> handler)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Unable to watch for termination signals: pipe: %s", std::strerror(errno));
        return false;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler = std::move(handler)] {
        char bytes[16];
        bool reload = false, end = false;
        ssize_t count = 0;
        while ((count = ::read(signalPipe[0], bytes, sizeof bytes)) > 0) {
            for (ssize_t i = 0; i < count; ++i)
                (bytes[i] == SIGHUP && reloadHandler ? reload : end) = true;
        }
        // Reading the settings again is pointless when the program is about to end anyway.
        if (end)
            handler();
        else if (reload)
            reloadHandler();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            qWarning("Unable to take signal %d: %s", signal, std::strerror(errno));
            return false;
        }
    }
    return true;
}

void onReloadRequest(std::function<void()> handler)
{
    reloadHandler = std::move(handler);
}

} // namespace korvo::platform
