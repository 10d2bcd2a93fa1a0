#include "platform/sibling.h"

#include <QDebug>

#include <windows.h>

namespace korvo::platform {
namespace {

constexpr UINT CloseAnswerMs = 1000;

HWND siblingWindow()
{
    return FindWindowW(SiblingWindowClass, SiblingWindowTitle);
}

// A copy that hangs would otherwise outlive the program and, found running, never be replaced.
void endHungSibling(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = processId ? OpenProcess(PROCESS_TERMINATE, FALSE, processId) : nullptr;
    if (!process) {
        qWarning("GetCPUInfo does not answer and cannot be ended: OpenProcess: error %lu", GetLastError());
        return;
    }
    if (!TerminateProcess(process, 1))
        qWarning("GetCPUInfo does not answer and cannot be ended: TerminateProcess: error %lu", GetLastError());
    CloseHandle(process);
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
    HWND window = siblingWindow();
    if (!window)
        return;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, CloseAnswerMs, &answer))
        return;
    // Gone in the meantime: nothing to end.
    if (!IsWindow(window))
        return;
    qWarning("GetCPUInfo did not answer its close request within %u ms (error %lu); ending it.", CloseAnswerMs,
             GetLastError());
    endHungSibling(window);
}

} // namespace korvo::platform
