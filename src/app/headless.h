// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace korvo {

// True when the command line asks for the program without a window ("--headless"). Looked at
// before any application object exists, since the answer picks Qt's platform.
bool headlessRequested(int argc, char* argv[]);

// The program without a display server, window or tray, for servers and services: the stored
// layout goes to the screen as a whole frame at every start, then the figures are kept current,
// through hot-plug, sleep and a screen that stops answering, as the window does. SIGHUP, or
// "apply" on the private socket (korvo-tftctl), reads Config.ini again and resends; SIGTERM and
// SIGINT end it. Builds its own application object; returns the exit code.
int runHeadless(int argc, char* argv[]);

} // namespace korvo
