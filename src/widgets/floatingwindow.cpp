// SPDX-License-Identifier: GPL-3.0-or-later
#include "floatingwindow.h"

#include "platform/windowsystem.h"

FloatingWindow::FloatingWindow(QWidget* parent)
    : QWidget(parent)
{
}

void FloatingWindow::makeTopmost() { WindowSystem::makeTopmost(this); }

void FloatingWindow::setVisible(bool visible)
{
    if (visible && !isVisible())
        WindowSystem::prepareShow(this, m_everShown,
            m_unasked ? WindowSystem::Activation::Leave : WindowSystem::Activation::Take);
    QWidget::setVisible(visible);
}

void FloatingWindow::showUnasked()
{
    m_unasked = true;
    show();
    m_unasked = false;
}

bool FloatingWindow::startMove(QPoint pressedAt, Qt::MouseButton button)
{
    return WindowSystem::startMove(this, pressedAt, button);
}

void showUnasked(QWidget* window)
{
    WindowSystem::setActivation(window, WindowSystem::Activation::Leave);
    window->show();
}
