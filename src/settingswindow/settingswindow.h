// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settingswindow/settingsform.h"
#include "widgets/floatingwindow.h"

/// The settings window frmMain with its controls: created hidden, never destroyed while the
/// program runs.
class SettingsWindow final : public FloatingWindow {
    Q_OBJECT
public:
    SettingsWindow();

    SettingsForm& form() { return m_form; }

private:
    SettingsForm m_form;
};
