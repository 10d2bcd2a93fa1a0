// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminationrequest.h"

namespace korvo::platform {

bool onTerminationRequest(QObject*, std::function<void()>)
{
    return true;
}

} // namespace korvo::platform
