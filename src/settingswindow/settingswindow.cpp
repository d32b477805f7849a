// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindow.h"

#include "settingswindow/clockdisplay.h"
#include "settingswindow/presets.h"
#include "settingswindow/reminders.h"
#include "settingswindow/settingscontroller.h"
#include "settingswindow/settingsform.h"

SettingsWindow::SettingsWindow(
    SettingsStore& store, const Clock& clock, WallClockAlarm& alarm, CommandRunner& commands)
    : m_form(std::make_unique<SettingsForm>())
{
    m_form->setupUi(this);
    m_display = new ClockDisplay(*m_form, clock, alarm, this);
    m_reminders = new Reminders(*m_form, *m_display, this);
    m_presets = new PresetEditor(*m_form, store, *m_reminders, this);
    m_controller = new SettingsController(*this, *m_form, commands, this);
    connect(m_reminders, &Reminders::due, this, &SettingsWindow::noteDue);
    connect(m_presets, &PresetEditor::shownAtStart, this, &SettingsWindow::noteDue);
    connect(m_controller, &SettingsController::noteRequested, this, &SettingsWindow::noteRequested);
}

SettingsWindow::~SettingsWindow()
{
    // The behaviours go before the controls they watch.
    delete m_controller;
    delete m_presets;
    delete m_reminders;
    delete m_display;
}

void SettingsWindow::startClock() { m_display->startClock(); }

void SettingsWindow::RestorePresets(NoteColour colour) { m_presets->RestorePresets(colour); }

void SettingsWindow::ShowSettings() { m_controller->ShowSettings(); }

void SettingsWindow::ShowSettingsFocused() { m_controller->ShowSettingsFocused(); }

void SettingsWindow::lblMe_Click() { m_controller->lblMe_Click(); }
