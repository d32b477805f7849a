// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTime>

#include <array>
#include <optional>

class ClockDisplay;
class SettingsForm;
class QTimer;

/// The six reminder checks. A check compares the preset fields of the settings window with the
/// clock display, never with the store or the system clock; it is armed while its timer runs,
/// fires by asking for its note, then disarms.
///
/// Nothing polls. An armed check's timer waits without end and is brought forward to tick at once
/// only when the outcome can change: at arming, and when its preset fields or the clock display's
/// texts change. The display wakes for the first moment an armed check can become due.
class Reminders final : public QObject {
    Q_OBJECT
public:
    Reminders(SettingsForm& form, ClockDisplay& display, QObject* parent);

    /// Arms a check (a no-op for an armed one); it looks at its preset right after the handler
    /// that armed it.
    void arm(QTimer* check);

signals:
    /// A check came due: its note pops up.
    void due(NoteColour colour);

private:
    /// The date check of a note: due at or after its preset date.
    void dateCheck_Timer(NoteColour colour);
    /// The time check of a note: due in its preset minute, or when the clock display passed
    /// over that minute while the check was armed.
    void timeCheck_Timer(NoteColour colour);

    /// What the checks need of the fields, read when a field's text changes.
    struct Read {
        bool dateEmpty = true, hourEmpty = true, minEmpty = true;
        std::optional<QDate> date;
        std::optional<QTime> time;
    };
    void readRow(NoteColour colour);
    void setAlarm();
    void poke(QTimer* check);
    void rest(QTimer* check);

    SettingsForm& m_form;
    ClockDisplay& m_display;
    std::array<Read, 3> m_rows; // by NoteColour
    // What the clock display showed when each time check was armed or last looked: a display
    // that has since moved forward over the check's minute fires it.
    std::array<std::optional<QDateTime>, 3> m_seen;
};
