// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindow.h"

#include "platform/windowsystem.h"

SettingsWindow::SettingsWindow() { m_form.setupUi(this); }

void SettingsWindow::setVisible(bool visible)
{
    if (visible && !isVisible())
        WindowSystem::prepareShow(this, m_everShown);
    QWidget::setVisible(visible);
}
