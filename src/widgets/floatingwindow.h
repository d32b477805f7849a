// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

/// A top-level window of the program (its form takes the title bar away): centred the first time
/// it shows, kept wholly on a screen and off the taskbar. A show that someone asked for takes the
/// keyboard; one that comes by itself leaves it to the program the person is in.
class FloatingWindow : public QWidget {
    Q_OBJECT
public:
    /// A note floats above every window, as a layer surface where the compositor allows it.
    enum class Kind { Window, Note };
    explicit FloatingWindow(Kind kind = Kind::Window, QWidget* parent = nullptr);

    /// Keeps the window above all others; it keeps its position and size.
    void makeTopmost();
    void setVisible(bool visible) override;
    /// Shows the window without taking the keyboard: nobody asked for it.
    void showUnasked();
    /// Brings the shown window to the front with the keyboard in it: someone asked for it.
    void bringForward();
    /// Hands a press-and-drag that began at pressedAt (global) to the window manager's move;
    /// false where the window system moves no windows, and the caller moves it by hand.
    bool startMove(QPoint pressedAt, Qt::MouseButton button);
    /// Cancels that move: the button came up before the window manager took over.
    void cancelMove();
    /// Where the window is (global), as moveTo placed it.
    QPoint position() const;
    /// Moves the window by hand, to pos (global).
    void moveTo(QPoint pos);
    /// Resizes the window by hand, to geometry (global).
    void resizeTo(const QRect& geometry);
    /// The pointer's global place during a drag by hand that began with the window at
    /// windowAtPress; global is the place Qt gives the event.
    QPoint dragPointer(QPoint global, QPoint windowAtPress) const;

private:
    Kind m_kind;
    bool m_everShown = false;
    bool m_unasked = false;
};

/// Shows a window of Qt's own (a message box) without taking the keyboard: it came by itself,
/// while the person may be typing.
void showUnasked(QWidget* window);
