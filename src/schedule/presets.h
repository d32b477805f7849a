// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QObject>

class MainForm;
class QLineEdit;
class QScrollBar;
class QTimer;
class SettingsStore;

/// The event logic of the note rows: calendars fill the date fields, scroll bars the hour and
/// minute fields, switches arm the checks. Every change is written to the store at once, and the
/// handlers run for the program's own changes as for the user's.
class PresetEditor final : public QObject {
    Q_OBJECT
public:
    PresetEditor(MainForm& form, SettingsStore& store, QObject* parent = nullptr);

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
    /// A write of a preset failed; the control keeps what the user set.
    void saveFailed(const QString& reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void timeBarChanged(
        NoteColour colour, QScrollBar* bar, QLineEdit* field, const QString& section);
    void writeSetting(const QString& section, const QString& key, const QString& value);
    void removeSetting(const QString& section, const QString& key);

    MainForm& m_form;
    SettingsStore& m_store;
};

/// Starts a reminder check's timer unless it already runs.
void armCheck(QTimer* check);
