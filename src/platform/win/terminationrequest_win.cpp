#include "platform/terminationrequest.h"

namespace korvo::platform {

bool onTerminationRequest(QObject*, std::function<void()>)
{
    return true;
}

void onReloadRequest(std::function<void()>) {}

} // namespace korvo::platform
