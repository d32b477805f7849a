// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace WindowSystem {

/// Keeps the window above all others; the window keeps its position and size.
void makeTopmost(QWidget* window);
/// Asks the window manager to leave the window out of the taskbar, the pager and KDE's window
/// switcher. Call it before every show: window managers drop the state when a window is hidden.
void keepOffTaskbar(QWidget* window);
/// What a top-level window of the program needs before it is shown: centred on the screen the
/// first time, and off the taskbar every time.
void prepareShow(QWidget* window, bool& everShown);
/// Ends the process at once, without running any window's unload step.
[[noreturn]] void endProcessNow();

} // namespace WindowSystem
