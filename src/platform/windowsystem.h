// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace WindowSystem {

/// Keeps the window above all others; the window keeps its position and size.
void makeTopmost(QWidget* window);
/// Asks the window manager to leave the window out of the taskbar, the pager and KDE's window
/// switcher. Call it before every show: window managers drop the state when a window is hidden.
void keepOffTaskbar(QWidget* window);
/// What a top-level window of the program needs before it is shown: centred on the screen the
/// first time, off the taskbar and floating every time.
void prepareShow(QWidget* window, bool& everShown);
/// On Wayland, holds the window at its size until the compositor has mapped it, so that a tiling
/// compositor floats it rather than tiling it; its own size limits come back after that.
void floatWhenMapped(QWidget* window);
/// Tries the X server that DISPLAY names, before any window system is opened: empty when it
/// takes a connection, otherwise why not, in a few words.
QString x11Refusal();
/// Ends the process at once, without running any window's unload step.
[[noreturn]] void endProcessNow();

} // namespace WindowSystem
