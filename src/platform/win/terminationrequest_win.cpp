// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminationrequest.h"

#include "platform/systemevents.h"

#include <QDebug>
#include <QObject>

#include <windows.h>

namespace korvo::platform {
namespace {

static_assert(windowsmsg::QueryEndSession == WM_QUERYENDSESSION && windowsmsg::EndSession == WM_ENDSESSION);

const wchar_t* const WindowClass = L"KorvoTftSessionEnd";

LRESULT CALLBACK sessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYENDSESSION)
        return TRUE;
    if (systemEvent(message, wParam) == SystemEvent::SessionEnds) {
        // Windows may end the process as soon as this returns: the handler's stop happens here.
        if (auto* handler = reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            (*handler)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

// The end of the session reaches top-level windows only, and the program's own window has no
// native window while it was never shown; a hidden window of this function's own hears it
// always. Not a message-only window: those miss what Windows sends to every window.
bool onTerminationRequest(QObject* context, std::function<void()> handler)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = sessionWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        qWarning("Unable to watch for the end of the session: RegisterClassEx: error %lu", GetLastError());
        return false;
    }
    HWND window =
        CreateWindowExW(0, WindowClass, L"Korvo TFT", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window) {
        qWarning("Unable to watch for the end of the session: CreateWindowEx: error %lu", GetLastError());
        return false;
    }
    auto* stored = new std::function<void()>(std::move(handler));
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(stored));
    QObject::connect(context, &QObject::destroyed, [window, stored] {
        DestroyWindow(window);
        delete stored;
    });
    return true;
}

void onReloadRequest(std::function<void()>) {}

} // namespace korvo::platform
