// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class CommandRunner;
class MainForm;
class Notes;
class QSystemTrayIcon;

/// The tray icon and its popup menu: show and hide each note, open the settings window, the
/// maker's web page, and Close.
class TrayMenu final : public QObject {
    Q_OBJECT
public:
    TrayMenu(MainForm& form, Notes& notes, CommandRunner& commands, QObject* parent = nullptr);
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    QSystemTrayIcon* TrayIcon1() const;
    void Mnuzovo_Click();

signals:
    /// The icon was activated or Setting chosen.
    void settingsRequested();
    /// Close was chosen.
    void closeRequested();

private:
    MainForm& m_form;
    Notes& m_notes;
    CommandRunner& m_commands;
};
