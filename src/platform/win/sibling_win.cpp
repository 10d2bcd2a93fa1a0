// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sibling.h"

#include <windows.h>

namespace korvo::platform {
namespace {

HWND siblingWindow()
{
    return FindWindowW(nullptr, L"GetCPUInfo");
}

} // namespace

QString siblingServerName()
{
    return QStringLiteral("GetCPUInfo") + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX");
}

bool siblingRunning()
{
    return siblingWindow() != nullptr;
}

void closeSibling()
{
    if (HWND window = siblingWindow())
        SendMessageW(window, WM_CLOSE, 0, 0);
}

} // namespace korvo::platform
