// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/trayhost.h"
#include "tray/traymenu.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

class FloatingWindow;
class Notifications;
class QTimer;

/// The tray icon's whole life and its menu: the icon is made once a notification area exists, at
/// start or whenever one appears later; where none has come after a wait, the settings window
/// stands in for it (carrying the menu) until one comes. Messages go through the icon where it can
/// carry them, otherwise into a window of the program's own.
class Tray final : public QObject {
    Q_OBJECT
public:
    /// Makes the icon at once where a notification area exists.
    Tray(TrayHost& host, Notifications& notifications, QObject* parent = nullptr);
    Tray(const Tray&) = delete;
    Tray& operator=(const Tray&) = delete;

    /// The settings window, the icon's stand-in while there is no tray. Comes after the icon,
    /// which a panel can dock while the window is built.
    void attach(FloatingWindow& window);
    TrayMenu& menu() { return m_menu; }
    /// Waits for a notification area; without one after standInMs, shows the settings window in
    /// its place. The icon goes into a tray that comes later all the same.
    void watch(int standInMs);
    /// The user asked for the settings window: a tray that comes later no longer hides it.
    void settingsAsked();
    /// Tells the user, without a modal box, that notes cannot be saved.
    void reportSaveFailure(const QString& reason);
    /// The program ends: the icon leaves the tray at once.
    void hideIcon();

signals:
    /// The icon was activated: show the settings window.
    void settingsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// TrayIcon1, or null while there is no notification area.
    QSystemTrayIcon* TrayIcon1() const;
    void makeIcon();
    void showOwnMessage(const QString& title, const QString& text);

    FloatingWindow* m_window = nullptr;
    TrayMenu m_menu;
    QPointer<QSystemTrayIcon> m_icon;
    TrayHost& m_host;
    Notifications& m_notifications;
    TrayHost::Kind m_kind = TrayHost::Kind::None;
    QTimer* m_standIn = nullptr;
    bool m_standingIn = false;
};
