// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What Qt's native event filter hands a widget on Windows, as the notifiers read it.

#include <QByteArray>

#include <windows.h>

namespace korvo::platform {

// The message, when the event is a Windows message with the given id; null for anything else.
inline const MSG* windowsMessage(const QByteArray& eventType, void* message, UINT id)
{
    if (!message || (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG"))
        return nullptr;
    const auto* msg = static_cast<const MSG*>(message);
    return msg->message == id ? msg : nullptr;
}

} // namespace korvo::platform
