#pragma once

#include <functional>

class QObject;

namespace korvo::platform {

// Calls `handler` on the thread of `context`, from its event loop, when the process is asked to
// end from outside: SIGTERM (logout, systemctl stop), SIGINT (Ctrl-C) or SIGHUP on Linux. The
// handler may run more than once. Windows ends a session through window messages instead, so
// there it does nothing and returns true. False (logged) when the signals could not be taken.
bool onTerminationRequest(QObject* context, std::function<void()> handler);

// From then on SIGHUP no longer ends the program but calls `handler`, the way daemons read their
// settings again; takes effect together with onTerminationRequest(), on the same thread. Windows:
// does nothing.
void onReloadRequest(std::function<void()> handler);

} // namespace korvo::platform
