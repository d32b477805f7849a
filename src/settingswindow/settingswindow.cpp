// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindow.h"

SettingsWindow::SettingsWindow() { m_form.setupUi(this); }
