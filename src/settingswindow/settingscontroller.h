// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QObject>
#include <QString>

class CommandRunner;
class SettingsForm;
class SettingsWindow;

/// The settings window's own commands: the note labels, the help boxes shown while their labels
/// are held, the credit line and hiding the window.
class SettingsController final : public QObject {
    Q_OBJECT
public:
    SettingsController(
        SettingsWindow& window, SettingsForm& form, CommandRunner& commands, QObject* parent);
    SettingsController(const SettingsController&) = delete;
    SettingsController& operator=(const SettingsController&) = delete;

    void ShowSettings();
    /// Shows the window raised and with the keyboard in it, as when Tackpad is started again.
    void ShowSettingsFocused();
    void lblTray_Click();
    void tmrMe_Timer();
    void lblMe_Click();

signals:
    /// A note label was clicked (lblRed_Click, lblGreen_Click, lblBlue_Click).
    void noteRequested(NoteColour colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideHelpBoxes();

    SettingsWindow& m_window;
    SettingsForm& m_form;
    CommandRunner& m_commands;
    bool m_showingAddress = false;
};
