// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace korvo::platform {

// Tells the service manager that started the program how it is doing ("READY=1", "RELOADING=1",
// "STOPPING=1"): one datagram to $NOTIFY_SOCKET, a path or, with a leading '@', an abstract
// name, so no libsystemd is needed. False when no manager asked for it (quietly) or the datagram
// could not be sent (logged). Windows: does nothing and returns false.
bool notifyServiceManager(const QByteArray& state);

} // namespace korvo::platform
