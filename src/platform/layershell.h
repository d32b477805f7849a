// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

class QString;
class QWidget;

/// Notes as wlr-layer-shell surfaces, on Wayland compositors that offer the protocol (KWin,
/// sway and other wlroots compositors): above every ordinary window, in no task list, and
/// without the keyboard until the person clicks into them. The compositor places such a
/// surface by its margins from the output's top-left corner; Qt's idea of the window's
/// position is kept equal to that place on the output.
namespace LayerShell {

/// Whether this build can make layer surfaces and the compositor that WAYLAND_DISPLAY names
/// offers them and makes one when asked. Asks the compositor directly: call it before any window
/// system is opened. Where the compositor offers them but refused the one asked for, refusal
/// (if given) tells what it did.
bool offered(QString* refusal = nullptr);
/// From now on the notes are layer surfaces (the program runs on Wayland itself).
void enable();
/// Whether enable() was called and the build can make layer surfaces.
bool enabled();

/// Makes the window a layer surface on its next show, if it is not one already; keyboard tells
/// whether it may take the keyboard at once (a show someone asked for), or only from a click a
/// little after it appeared. False where the program does not use layer surfaces.
bool adopt(QWidget* window, bool keyboard);
/// Whether the window is a layer surface.
bool isLayer(const QWidget* window);
/// Places a layer surface with its top-left corner at pos (Qt's global coordinates), wholly on
/// its output.
void place(QWidget* window, QPoint pos);
/// Brings a layer surface whose output went away, or shrank under it, wholly onto a remaining
/// output, without the keyboard. False, and nothing done, for an ordinary window.
bool keepOnOutput(QWidget* window);
/// Gives a shown layer surface the keyboard, as the person asked for it, where the compositor
/// lets a surface ask (KWin; sway gives it from a click). False, and nothing done, for an
/// ordinary window.
bool takeKeyboard(QWidget* window);
/// Where a window is, in Qt's global coordinates: for a layer surface, its place on its output.
QPoint position(const QWidget* window);
/// Whether, during a held button, the compositor reports pointer positions against the place
/// the surface had at the press rather than the place it has now (sway does).
bool dragAgainstPressPlace();

} // namespace LayerShell
