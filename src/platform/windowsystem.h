// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace WindowSystem {

/// Keeps the window above all others; the window keeps its position and size.
void makeTopmost(QWidget* window);
/// Asks the window manager to leave the window out of the taskbar, the pager and KDE's window
/// switcher. Call it before every show: window managers drop the state when a window is hidden.
void keepOffTaskbar(QWidget* window);
/// Whether a window's show takes the keyboard and the active window. One that shows without
/// being asked for leaves them to the program the person is in; on X11 it carries the user time
/// 0 that focus-stealing prevention honours.
enum class Activation { Take, Leave };

/// A note floats above every window: natively on Wayland, as a layer surface, where the
/// compositor offers them.
enum class Role { Window, Note };

/// What a top-level window of the program needs before it is shown: centred on the screen the
/// first time, wholly on a screen, off the taskbar, floating, and whether it takes the keyboard.
void prepareShow(QWidget* window, bool& everShown, Activation activation = Activation::Take,
    Role role = Role::Window);
/// Brings a shown window to the front with the keyboard in it, as someone asked; asked again once
/// it is on screen, for a window the window manager is only now taking in.
void bringForward(QWidget* window);
/// Sets whether the window's next show takes the keyboard.
void setActivation(QWidget* window, Activation activation);
/// Moves a window that is not wholly on any screen wholly onto the nearest one; one bigger than
/// that screen gets its top-left part on it. A window wholly on a screen stays where it is.
void keepOnScreen(QWidget* window);
/// Brings every visible window of the program that is no longer wholly on the screens back onto
/// the nearest one. Windows that bypass the window manager (the tray icon's, embedded in the
/// tray) are left alone.
void keepWindowsOnScreen();
/// From now on, whenever a screen goes, comes or changes size, or a panel changes the room
/// left on it, keepWindowsOnScreen runs once the change has settled.
void watchScreens();
/// Under XWayland, maps a window that shows without the keyboard as one that takes no input at
/// all, which wlroots compositors do not focus; it takes the keyboard from a click after that.
void leaveFocusOnXWayland(QWidget* window);
/// On Wayland, holds the window at its size until the compositor has mapped it, so that a tiling
/// compositor floats it rather than tiling it; its own size limits come back after that.
void floatWhenMapped(QWidget* window);
/// Hands a press-and-drag to the window manager's interactive move, which on X11 keeps the point
/// of the window that was under the pointer at the press (global, as Qt gives it) under the
/// pointer until the button is released; a Wayland compositor's move starts where the pointer is
/// now. False where no window manager moves windows.
bool startMove(QWidget* window, QPoint pressedAt, Qt::MouseButton button);
/// Cancels a move that startMove asked for, where the button came up before the window manager
/// took the pointer (the window still saw the release).
void cancelMove(QWidget* window);
/// Moves a top-level window to pos (global): a layer surface by its margins, wholly on its output.
void moveWindow(QWidget* window, QPoint pos);
/// Where a top-level window is (global), as moveWindow placed it.
QPoint windowPosition(const QWidget* window);
/// The pointer's global place during a press or drag of the window by hand, from the global place
/// Qt gives an event and the window's place at the press.
QPoint dragPointer(const QWidget* window, QPoint global, QPoint windowAtPress);
/// Tries the X server that DISPLAY names, before any window system is opened: empty when it
/// takes a connection, otherwise why not, in a few words.
QString x11Refusal();
/// Ends the process at once, without running any window's unload step.
[[noreturn]] void endProcessNow();

} // namespace WindowSystem
