// SPDX-License-Identifier: GPL-3.0-or-later
#include "floatingwindow.h"

#include "platform/windowsystem.h"

FloatingWindow::FloatingWindow(Kind kind, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
{
}

void FloatingWindow::makeTopmost() { WindowSystem::makeTopmost(this); }

void FloatingWindow::setVisible(bool visible)
{
    if (visible && !isVisible())
        WindowSystem::prepareShow(this, m_everShown,
            m_unasked ? WindowSystem::Activation::Leave : WindowSystem::Activation::Take,
            m_kind == Kind::Note ? WindowSystem::Role::Note : WindowSystem::Role::Window);
    QWidget::setVisible(visible);
}

void FloatingWindow::showUnasked()
{
    m_unasked = true;
    show();
    m_unasked = false;
}

void FloatingWindow::bringForward() { WindowSystem::bringForward(this); }

bool FloatingWindow::startMove(QPoint pressedAt, Qt::MouseButton button)
{
    return WindowSystem::startMove(this, pressedAt, button);
}

void FloatingWindow::cancelMove() { WindowSystem::cancelMove(this); }

QPoint FloatingWindow::position() const { return WindowSystem::windowPosition(this); }

void FloatingWindow::moveTo(QPoint pos) { WindowSystem::moveWindow(this, pos); }

void FloatingWindow::resizeTo(const QRect& geometry)
{
    setGeometry(geometry);
    // A layer surface's place is its margins, which a resize by its left or top edge moves. The
    // window has no frame: for any other, the same place again.
    WindowSystem::moveWindow(this, geometry.topLeft());
}

QPoint FloatingWindow::dragPointer(QPoint global, QPoint windowAtPress) const
{
    return WindowSystem::dragPointer(this, global, windowAtPress);
}

void showUnasked(QWidget* window)
{
    WindowSystem::setActivation(window, WindowSystem::Activation::Leave);
    window->show();
}
