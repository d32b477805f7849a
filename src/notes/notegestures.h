// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class FloatingWindow;
class NoteTextBox;

/// The pointer gestures in a note's text: a press and drag moves the note, a press on its edges
/// resizes it (never below the window's minimum size), a double click hides it. The window
/// manager moves and resizes where it can; elsewhere the note follows the pointer by hand.
class NoteGestures final : public QObject {
    Q_OBJECT
public:
    NoteGestures(FloatingWindow* window, NoteTextBox* txt);

signals:
    /// A button went down in the text.
    void pressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Qt::Edges edgesAt(QPoint pos) const;
    bool press(QEvent* event);
    bool moveTo(QEvent* event);
    bool release(QEvent* event);
    void resizeBy(QPoint delta);

    FloatingWindow* m_window;
    NoteTextBox* m_txt;

    // HandedOver: the window manager was asked to move the note and has not taken the pointer
    // yet (once it has, the note sees nothing more of the drag).
    enum class Gesture { None, Pressed, HandedOver, Moving, Resizing };
    Gesture m_gesture = Gesture::None;
    Qt::MouseButton m_button = Qt::NoButton;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
    QRect m_pressGeometry;
    Qt::Edges m_pressEdges;
};
