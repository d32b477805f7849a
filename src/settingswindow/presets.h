// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QObject>

class SettingsForm;
class Reminders;
class QCheckBox;
class QLineEdit;
class QTimer;
class QScrollBar;
class SettingsStore;
struct StoreKey;

/// The event logic of the note rows: calendars fill the date fields, scroll bars the hour and
/// minute fields, switches arm the checks. Every change is written to the store at once, and the
/// handlers run for the program's own changes as for the user's.
class PresetEditor final : public QObject {
    Q_OBJECT
public:
    PresetEditor(SettingsForm& form, SettingsStore& store, Reminders& reminders, QObject* parent);

    /// Puts a note's stored presets back into its row, each through the control's own handler
    /// as if the user had set it; arms the checks whose switches are stored on and shows the
    /// note when it is set to appear at every start.
    void RestorePresets(NoteColour colour);

    void txtDate_Click(NoteColour colour);
    void Calendar_DayPicked(NoteColour colour);
    void txtDate_Change(NoteColour colour);
    void txtHourMin_Change(NoteColour colour);
    void VScrollHour_Change(NoteColour colour);
    void VScrollMin_Change(NoteColour colour);
    void chkDate_Click(NoteColour colour); // chkRed_Click
    void chkTime_Click(NoteColour colour); // chkRed1_Click
    void chkStart_Click(NoteColour colour); // chkRed2_Click

signals:
    /// A restored row shows its note at every start.
    void shownAtStart(NoteColour colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void timeBarChanged(NoteColour colour, QScrollBar* bar, QLineEdit* field, const StoreKey& key);
    void reminderSwitched(QCheckBox* box, QTimer* check, const StoreKey& key);
    void writeSetting(const StoreKey& key, const QString& value);

    SettingsForm& m_form;
    SettingsStore& m_store;
    Reminders& m_reminders;
};
