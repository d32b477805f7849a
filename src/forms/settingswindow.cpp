// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindow.h"

#include "platform/windowsystem.h"

SettingsWindow::SettingsWindow() { m_form.setupUi(this); }

void SettingsWindow::setVisible(bool visible)
{
    if (visible && !isVisible())
        WindowSystem::prepareShow(this, m_everShown,
            m_unasked ? WindowSystem::Activation::Leave : WindowSystem::Activation::Take);
    QWidget::setVisible(visible);
}

void SettingsWindow::showUnasked()
{
    m_unasked = true;
    show();
    m_unasked = false;
}
