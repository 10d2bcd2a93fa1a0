#pragma once

#include <QString>

// The sibling process GetCPUInfo, which publishes the CPU figures. The program only needs to know
// whether it runs and to end it with itself. On Windows it is found by its hidden window's class
// and title, so that another program's window of the same title is left alone; on Linux it
// answers on a per-user local socket instead.
namespace korvo::platform {

// GetCPUInfo's hidden window on Windows.
inline constexpr wchar_t SiblingWindowClass[] = L"KorvoTftGetCPUInfo";
inline constexpr wchar_t SiblingWindowTitle[] = L"GetCPUInfo";

// The local server name GetCPUInfo listens under. On Linux a socket path in the user's runtime
// folder, so that two users on one machine each get their own copy. KORVO_INSTANCE_SUFFIX is
// appended, so that tests can run a private copy beside the user's.
QString siblingServerName();

bool siblingRunning();

// Asks a running GetCPUInfo to quit and waits briefly for its answer; does nothing when none runs.
// Never waits longer than a second: on Windows a copy that does not answer by then is ended.
void closeSibling();

} // namespace korvo::platform
