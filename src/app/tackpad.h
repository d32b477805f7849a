// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/savekeeper.h"
#include "base/notecolour.h"
#include "notes/notes.h"
#include "settingswindow/settingswindow.h"
#include "tray/tray.h"

#include <QObject>

#include <memory>

class Autostart;
class Clock;
class CommandRunner;
class MessageBox;
class Notifications;
class PortIo;
class SettingsStore;
class ProcessSignal;
class TrayHost;
class WallClockAlarm;

/// What the program needs of the outside world; tests pass fakes.
struct Platform {
    SettingsStore& store;
    const Clock& clock;
    Autostart& autostart;
    MessageBox& messages;
    PortIo& ports;
    CommandRunner& commands;
    WallClockAlarm& alarm;
    /// The notification area and the notification service; none given: a desktop without them.
    TrayHost* trayHost = nullptr;
    Notifications* notifications = nullptr;
};

/// The whole program: the settings window with its presets, checks and tray, and the notes.
/// The parts are members in the order they depend on each other, so they go in reverse.
class Tackpad final : public QObject {
    Q_OBJECT
public:
    explicit Tackpad(Platform platform);
    ~Tackpad() override;
    Tackpad(const Tackpad&) = delete;
    Tackpad& operator=(const Tackpad&) = delete;

    /// The start-up sequence: autostart, topmost, clock, presets restored, notes shown.
    void Form_Load();
    /// Close: ends the program after one last save of what is unsaved. When that save fails, the
    /// user chooses between closing anyway and keeping the program running.
    void MnuEnd_Click();
    /// The desktop session is ending: one last save, and the question of Close where the session
    /// lets the program ask. False when the user chose to keep running.
    bool sessionEnding(bool mayAsk);
    /// Tackpad was started again: the settings window comes up with the keyboard in it.
    void startedAgain();

    /// Waits standInMs for a notification area before the settings window stands in for it.
    void watchTray(int standInMs);

private:
    void RegisterAutostart();
    [[noreturn]] void endNow();

    Platform m_platform;
    // Before the icon: a stop from outside that comes once the icon shows ends the program cleanly.
    std::unique_ptr<ProcessSignal> m_terminated;
    Tray m_tray; // first, so that a panel docks the icon while the rest is built
    SaveKeeper m_saves; // every part writes through it
    SettingsWindow m_window;
    Notes m_notes;
};
