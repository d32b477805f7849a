// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "notes/notecolour.h"

#include <QObject>
#include <QString>

class CommandRunner;
class MainForm;
class Notes;
class PortIo;
class QSystemTrayIcon;
class QTimer;
class QWidget;

/// The tray icon, its popup menu and the command labels of the settings window.
class TrayCommands final : public QObject {
    Q_OBJECT
public:
    TrayCommands(MainForm& form, QWidget& frmMain, Notes& notes, CommandRunner& commands,
        PortIo& ports, QObject* parent = nullptr);
    ~TrayCommands() override;

    QSystemTrayIcon* TrayIcon1() const { return m_trayIcon; }

    /// Waits up to timeoutMs for a notification area; without one, shows the settings window so
    /// that the program stays reachable (its right-click menu is the tray menu).
    void watchForTray(int timeoutMs);
    /// Tells the user once, without a modal box, that notes cannot be saved.
    void reportSaveFailure(const QString& reason);
    void reportSaveRecovered();

    void ShowSettings();
    void lblTray_Click();
    void tmrMe_Timer();
    void OpenWebPage(); // lblMe_Click, Mnuzovo_Click
    [[noreturn]] void MnuEnd_Click();
    /// Pops the tray menu up at the pointer.
    void PopupMenu();

signals:
    /// The program is about to end at once (for tests that replace the ending).
    void ending();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainForm& m_form;
    QWidget& m_frmMain;
    Notes& m_notes;
    CommandRunner& m_commands;
    PortIo& m_ports;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QTimer* m_trayWatch = nullptr;
    bool m_showingAddress = false;
    bool m_saveFailureReported = false;
};
