// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/mainform.h"

#include <QWidget>

/// The settings window frmMain with its controls: created hidden, never destroyed while the
/// program runs.
class SettingsWindow final : public QWidget {
    Q_OBJECT
public:
    SettingsWindow();

    MainForm& form() { return m_form; }
    void setVisible(bool visible) override;
    /// Shows the window without taking the keyboard: nobody asked for it.
    void showUnasked();

private:
    MainForm m_form;
    bool m_everShown = false;
    bool m_unasked = false;
};
