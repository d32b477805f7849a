// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "widgets/floatingwindow.h"

#include <memory>

class Clock;
class ClockDisplay;
class CommandRunner;
class PresetEditor;
class Reminders;
class SettingsController;
class SettingsForm;
class SettingsStore;
class WallClockAlarm;

/// The settings window frmMain: the notes' rows of presets with their checks, the clock display,
/// the help boxes and the window's own commands. Created hidden, never destroyed while the
/// program runs. Others talk to it through these members and signals, never to its controls.
class SettingsWindow final : public FloatingWindow {
    Q_OBJECT
public:
    SettingsWindow(
        SettingsStore& store, const Clock& clock, WallClockAlarm& alarm, CommandRunner& commands);
    ~SettingsWindow() override;
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    /// Fills the clock display and keeps it current from now on.
    void startClock();
    /// Puts a note's stored presets back into its row, each through the control's own handler
    /// as if the user had set it; arms the checks whose switches are stored on, and asks for the
    /// note when it is set to appear at every start.
    void RestorePresets(NoteColour colour);
    void ShowSettings();
    /// Shows the window raised and with the keyboard in it, as when Tackpad is started again.
    void ShowSettingsFocused();
    /// Opens the web page, as a click on the credit line does.
    void lblMe_Click();

signals:
    /// A note's name was clicked (lblRed_Click, lblGreen_Click, lblBlue_Click).
    void noteRequested(NoteColour colour);
    /// A reminder came due, or the note appears at every start: it pops up by itself.
    void noteDue(NoteColour colour);

private:
    std::unique_ptr<SettingsForm> m_form;
    ClockDisplay* m_display;
    Reminders* m_reminders;
    PresetEditor* m_presets;
    SettingsController* m_controller;
};
