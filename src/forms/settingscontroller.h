// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QObject>
#include <QString>

class CommandRunner;
class MainForm;
class QTimer;
class SettingsWindow;

/// The settings window's own commands: the note labels, the help boxes shown while a button is
/// held on their labels, the credit line, hiding the window, and the messages it shows. Where
/// no notification area appears, the window stands in for the tray icon and carries its menu.
class SettingsController final : public QObject {
    Q_OBJECT
public:
    SettingsController(SettingsWindow& window, CommandRunner& commands, QObject* parent = nullptr);
    SettingsController(const SettingsController&) = delete;
    SettingsController& operator=(const SettingsController&) = delete;

    void ShowSettings();
    void lblTray_Click();
    void tmrMe_Timer();
    void lblMe_Click();
    /// Waits up to timeoutMs for a notification area; without one, shows the settings window so
    /// that the program stays reachable (its right-click menu is then the tray menu).
    void watchForTray(int timeoutMs);
    /// Tells the user once, without a modal box, that notes cannot be saved.
    void reportSaveFailure(const QString& reason);
    void reportSaveRecovered();

signals:
    /// A note label was clicked (lblRed_Click, lblGreen_Click, lblBlue_Click).
    void noteRequested(NoteColour colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideHelpBoxes();
    bool trayShown() const;

    SettingsWindow& m_window;
    MainForm& m_form;
    CommandRunner& m_commands;
    QTimer* m_trayWatch = nullptr;
    bool m_showingAddress = false;
    bool m_saveFailureReported = false;
};
