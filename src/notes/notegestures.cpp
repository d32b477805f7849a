// SPDX-License-Identifier: GPL-3.0-or-later
#include "notegestures.h"

#include "text/notetextbox.h"
#include "widgets/floatingwindow.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>
#include <QWindow>

#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcNotes)

namespace {

// Width of the sizing band along the note's edges, in pixels.
constexpr int kBorder = 4;

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool topLeftOrBottomRight
            = (edges & Qt::LeftEdge) ? bool(edges & Qt::TopEdge) : bool(edges & Qt::BottomEdge);
        return topLeftOrBottomRight ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::IBeamCursor;
}

} // namespace

NoteGestures::NoteGestures(FloatingWindow* window, NoteTextBox* txt)
    : QObject(window)
    , m_window(window)
    , m_txt(txt)
{
    txt->viewport()->installEventFilter(this);
    txt->viewport()->setMouseTracking(true);
    // The right button moves the note like the others; its menu opens on a click without a move.
    txt->setContextMenuPolicy(Qt::NoContextMenu);
}

Qt::Edges NoteGestures::edgesAt(QPoint pos) const
{
    Qt::Edges edges;
    if (pos.x() < kBorder)
        edges |= Qt::LeftEdge;
    if (pos.x() >= m_window->width() - kBorder)
        edges |= Qt::RightEdge;
    if (pos.y() < kBorder)
        edges |= Qt::TopEdge;
    if (pos.y() >= m_window->height() - kBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

bool NoteGestures::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_txt->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        m_window->hide();
        m_gesture = Gesture::None;
        return true;
    case QEvent::MouseButtonPress:
        return press(event);
    case QEvent::MouseMove:
        return moveTo(event);
    case QEvent::MouseButtonRelease:
        return release(event);
    default:
        return false;
    }
}

bool NoteGestures::press(QEvent* event)
{
    emit pressed();
    auto* e = static_cast<QMouseEvent*>(event);
    m_button = e->button();
    m_pressWindowPos = m_window->position();
    m_pressGlobal = m_window->dragPointer(e->globalPosition().toPoint(), m_pressWindowPos);
    m_pressGeometry = m_window->geometry();
    const QPoint inWindow = m_txt->viewport()->mapTo(m_window, e->position().toPoint());
    m_pressEdges = edgesAt(inWindow);
    if (m_window->mapToGlobal(inWindow) != m_pressGlobal) {
        // Some window managers leave Qt believing a fresh window is still at (0,0); a move
        // started from that belief would throw the note across the screen. The press itself
        // tells where the window really is.
        qCDebug(lcNotes) << "window position" << m_window->pos() << "corrected from the press";
        m_window->move(m_pressGlobal - inWindow);
        m_pressWindowPos = m_window->position();
        m_pressGeometry = m_window->geometry();
    }
    if (m_pressEdges) {
        m_gesture = Gesture::Resizing;
        QWindow* handle = m_window->windowHandle();
        if (handle && handle->startSystemResize(m_pressEdges))
            m_gesture = Gesture::None;
        return true;
    }
    m_gesture = Gesture::Pressed;
    // The left button still places the caret; the others only start a move.
    return e->button() != Qt::LeftButton;
}

bool NoteGestures::moveTo(QEvent* event)
{
    auto* e = static_cast<QMouseEvent*>(event);
    const QPoint global = m_window->dragPointer(e->globalPosition().toPoint(), m_pressWindowPos);
    if (m_gesture == Gesture::HandedOver && e->buttons() == Qt::NoButton)
        m_gesture = Gesture::None; // the window manager had the release
    switch (m_gesture) {
    case Gesture::HandedOver:
        return true;
    case Gesture::None:
        if (e->buttons() == Qt::NoButton)
            m_txt->viewport()->setCursor(
                cursorFor(edgesAt(m_txt->viewport()->mapTo(m_window, e->position().toPoint()))));
        return false;
    case Gesture::Pressed: {
        if ((global - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
            return m_button != Qt::LeftButton;
        m_gesture = Gesture::Moving;
        // The few pixels before the move began are no text selection.
        QTextCursor caret = m_txt->textCursor();
        caret.clearSelection();
        m_txt->setTextCursor(caret);
        // Begun at the press, so the note does not trail the pointer by the drag distance.
        if (m_window->startMove(m_pressGlobal, m_button)) {
            m_gesture = Gesture::HandedOver;
            return true;
        }
        qCDebug(lcNotes) << "window system refused the move; moving by hand from"
                         << m_window->pos();
        [[fallthrough]];
    }
    case Gesture::Moving:
        // The window system refused a move of its own: follow the pointer by hand.
        m_window->moveTo(m_pressWindowPos + (global - m_pressGlobal));
        return true;
    case Gesture::Resizing:
        resizeBy(global - m_pressGlobal);
        return true;
    }
    return false;
}

void NoteGestures::resizeBy(QPoint d)
{
    // The edge that is not dragged stays where it is, also when the note reaches its minimum.
    const QSize least = m_window->minimumSize().expandedTo(QSize(2 * kBorder, 2 * kBorder));
    QRect g = m_pressGeometry;
    if (m_pressEdges & Qt::LeftEdge)
        g.setLeft(qMin(g.left() + d.x(), g.right() + 1 - least.width()));
    if (m_pressEdges & Qt::RightEdge)
        g.setRight(qMax(g.right() + d.x(), g.left() + least.width() - 1));
    if (m_pressEdges & Qt::TopEdge)
        g.setTop(qMin(g.top() + d.y(), g.bottom() + 1 - least.height()));
    if (m_pressEdges & Qt::BottomEdge)
        g.setBottom(qMax(g.bottom() + d.y(), g.top() + least.height() - 1));
    m_window->resizeTo(g);
}

bool NoteGestures::release(QEvent* event)
{
    auto* e = static_cast<QMouseEvent*>(event);
    const Gesture gesture = std::exchange(m_gesture, Gesture::None);
    if (gesture == Gesture::HandedOver) {
        m_window->cancelMove();
        return true;
    }
    if (gesture == Gesture::Pressed && e->button() == Qt::RightButton) {
        // A right click that did not move the note opens the usual edit menu.
        QMenu* menu = m_txt->createEditMenu(e->position().toPoint());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(e->globalPosition().toPoint());
        return true;
    }
    return gesture != Gesture::Pressed || e->button() != Qt::LeftButton;
}
