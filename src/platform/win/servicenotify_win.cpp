// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/servicenotify.h"

namespace korvo::platform {

bool notifyServiceManager(const QByteArray&)
{
    return false;
}

} // namespace korvo::platform
