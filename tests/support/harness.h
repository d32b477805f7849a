// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes.h"
#include "fakewallclockalarm.h"
#include "shortintervals.h"
#include "windows.h"

#include "app/tackpad.h"
#include "settingswindow/settingswindow.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <memory>

/// The whole program against fakes, as start-up builds it, with short intervals.
struct Harness {
    ShortIntervals shortIntervals;
    RecordingStore store;
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(9, 41, 30)) };
    FakeAutostart autostart;
    FakeMessageBox messages;
    RecordingPorts ports;
    FakeCommandRunner commands;
    FakeTrayHost trayHost; // no notification area unless a test puts one there
    FakeNotifications notifications;
    FakeWallClockAlarm alarm { clock };
    std::unique_ptr<Tackpad> app;

    Tackpad& make()
    {
        app = std::make_unique<Tackpad>(Platform {
            store, clock, autostart, messages, ports, commands, alarm, &trayHost, &notifications });
        return *app;
    }
    Tackpad& start()
    {
        make().Form_Load();
        return *app;
    }
};

/// The program's settings window (frmMain).
inline SettingsWindow& settingsWindow()
{
    auto* window = qobject_cast<SettingsWindow*>(windowNamed(QStringLiteral("frmMain")));
    if (!window)
        qFatal("no settings window");
    return *window;
}

/// The tray's menu (MnuMenu), and one of its commands by name (MnuSetting, MnuShowRed...).
inline QMenu* trayMenu()
{
    auto* menu = qobject_cast<QMenu*>(windowNamed(QStringLiteral("MnuMenu")));
    if (!menu)
        qFatal("no tray menu");
    return menu;
}
inline QAction* trayCommand(const char* name)
{
    return child<QAction>(*trayMenu(), QString::fromLatin1(name));
}

/// A note shown or hidden as the person asks for it from the tray.
inline void showNote(NoteColour colour)
{
    child<QAction>(*trayMenu(), QStringLiteral("MnuShow") + colourWord(colour))->trigger();
}
inline void hideNote(NoteColour colour)
{
    child<QAction>(*trayMenu(), QStringLiteral("MnuHide") + colourWord(colour))->trigger();
}

/// The program's tray icon (TrayIcon1), null while there is no notification area.
inline QSystemTrayIcon* trayIcon(const QObject& program)
{
    return program.findChild<QSystemTrayIcon*>(QStringLiteral("TrayIcon1"));
}

/// One of the program's parts (its notes, its tray), found among its children.
template <typename T> T& partOf(const QObject& program)
{
    T* part = program.findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
    if (!part)
        qFatal("no such part");
    return *part;
}
