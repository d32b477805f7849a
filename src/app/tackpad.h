// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "forms/settingscontroller.h"
#include "forms/settingswindow.h"
#include "notes/notes.h"
#include "schedule/presets.h"
#include "schedule/reminders.h"
#include "tray/traymenu.h"

#include <QObject>
#include <QTimer>

class Autostart;
class Clock;
class CommandRunner;
class MessageBox;
class PortIo;
class SettingsStore;

/// What the program needs of the outside world; tests pass fakes.
struct Platform {
    SettingsStore& store;
    const Clock& clock;
    Autostart& autostart;
    MessageBox& messages;
    PortIo& ports;
    CommandRunner& commands;
};

/// The whole program: the settings window with its presets, checks and tray, and the notes.
/// The parts are members in the order they depend on each other, so they go in reverse.
class Tackpad final : public QObject {
    Q_OBJECT
public:
    explicit Tackpad(Platform platform);
    Tackpad(const Tackpad&) = delete;
    Tackpad& operator=(const Tackpad&) = delete;

    /// The start-up sequence: autostart, topmost, clock, presets restored, notes shown.
    void Form_Load();
    /// Close: ends the program after one last save of what is unsaved. When that save fails, the
    /// user chooses between closing anyway and keeping the program running.
    void MnuEnd_Click();
    /// One last save before the program ends; when it fails, asks as Close does. True when the
    /// program may end.
    bool readyToEnd();
    /// The desktop session is ending: one last save, and the question of Close where the session
    /// lets the program ask. False when the user chose to keep running.
    bool sessionEnding(bool mayAsk);

    SettingsWindow& frmMain() { return m_window; }
    MainForm& form() { return m_window.form(); }
    Notes& notes() { return m_notes; }
    TrayMenu& tray() { return m_tray; }
    SettingsController& settings() { return m_settings; }
    Reminders& reminders() { return m_reminders; }
    PresetEditor& presets() { return m_presets; }

private:
    void RegisterAutostart();
    void RestorePresets(NoteColour colour);
    void handleFailedSave(const QString& reason);
    [[noreturn]] void endNow();

    Platform m_platform;
    SettingsWindow m_window;
    Notes m_notes;
    PresetEditor m_presets;
    Reminders m_reminders;
    SettingsController m_settings;
    TrayMenu m_tray;
    QTimer m_saveRetry; // saves again what failed to save, until it works
    bool m_asking = false;
};

/// The fixed program path that the autostart entry names.
QString fixedProgramPath();
