// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QObject;

namespace korvo::platform {

// Calls `handler` on the thread of `context`, from its event loop, when the process is asked to
// end from outside: SIGTERM (logout, systemctl stop), SIGINT (Ctrl-C) or SIGHUP on Linux; on
// Windows the end of the session (log-off, shut-down, an installer closing the program), heard
// by a hidden window whether or not the program's window was ever shown. Windows may end the
// process as soon as the handler returns, so there it must have stopped what matters before it
// returns. The handler may run more than once. False (logged) when the request cannot be heard.
bool onTerminationRequest(QObject* context, std::function<void()> handler);

// From then on SIGHUP no longer ends the program but calls `handler`, the way daemons read their
// settings again; takes effect together with onTerminationRequest(), on the same thread. Windows:
// does nothing.
void onReloadRequest(std::function<void()> handler);

} // namespace korvo::platform
