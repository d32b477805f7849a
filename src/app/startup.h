// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/mainform.h"
#include "notes/notecolour.h"

#include <QObject>
#include <QWidget>

#include <memory>

class Autostart;
class Clock;
class CommandRunner;
class MessageBox;
class Notes;
class PortIo;
class PresetEditor;
class QTimer;
class Reminders;
class SettingsStore;
class TrayCommands;

/// What the program needs of the outside world; tests pass fakes.
struct Platform {
    SettingsStore& store;
    const Clock& clock;
    Autostart& autostart;
    MessageBox& messages;
    PortIo& ports;
    CommandRunner& commands;
};

/// The settings window frmMain: created hidden, never destroyed while the program runs.
class SettingsWindow final : public QWidget {
    Q_OBJECT
public:
    SettingsWindow();
    void setVisible(bool visible) override;

private:
    bool m_everShown = false;
};

/// The whole program: the settings window with its presets, checks, tray and notes.
class Tackpad final : public QObject {
    Q_OBJECT
public:
    explicit Tackpad(Platform platform);
    ~Tackpad() override;
    Tackpad(const Tackpad&) = delete;
    Tackpad& operator=(const Tackpad&) = delete;

    /// The start-up sequence: autostart, topmost, clock, presets restored, notes shown.
    void Form_Load();

    SettingsWindow& frmMain() { return *m_window; }
    MainForm& form() { return m_form; }
    Notes& notes() { return *m_notes; }
    TrayCommands& tray() { return *m_tray; }
    Reminders& reminders() { return *m_reminders; }
    PresetEditor& presets() { return *m_presets; }

private:
    void RegisterAutostart();
    void RestorePresets(NoteColour colour);
    void saveFailed(const QString& reason);

    Platform m_platform;
    std::unique_ptr<SettingsWindow> m_window;
    MainForm m_form;
    std::unique_ptr<Notes> m_notes;
    PresetEditor* m_presets = nullptr;
    Reminders* m_reminders = nullptr;
    TrayCommands* m_tray = nullptr;
    QTimer* m_saveRetry = nullptr; // saves again what failed to save, until it works
};

/// The fixed program path that the autostart entry names.
QString fixedProgramPath();
