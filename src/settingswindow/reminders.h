// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "schedule/rules.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTime>

#include <array>
#include <optional>

class Clock;
class SettingsForm;
class QTimer;
class WallClockAlarm;

/// The clock display and the six reminder checks. A check compares the preset fields of the
/// settings window with the clock display, never with the store or the system clock; it is armed
/// while its timer runs, fires by asking for its note to be shown, then disarms.
///
/// Nothing polls. The clock display is rewritten when its minute changes, at an instant of the
/// wall clock (and at once after a clock change, a resume or a new time zone). An armed check's
/// timer waits without end and is brought forward to tick at once only when the outcome can
/// change: at arming, and when its preset fields or the clock display's texts change.
class Reminders final : public QObject {
    Q_OBJECT
public:
    Reminders(SettingsForm& form, const Clock& clock, WallClockAlarm& alarm, QObject* parent);

    /// Fills the clock display and keeps it current from now on.
    void startClock();
    /// Rewrites the clock display from the clock when its minute changed.
    void TmrSys_Timer();
    /// The date check of a note: due at or after its preset date.
    void dateCheck_Timer(NoteColour colour);
    /// The time check of a note: due in its preset minute, or when the clock display passed
    /// over that minute while the check was armed.
    void timeCheck_Timer(NoteColour colour);

    /// Arms a check (a no-op for an armed one); it looks at its preset right after the handler
    /// that armed it.
    void arm(QTimer* check);

signals:
    /// A check came due: its note pops up.
    void due(NoteColour colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// What the checks need of the fields, read when a field's text changes.
    struct Read {
        bool dateEmpty = true, hourEmpty = true, minEmpty = true;
        std::optional<QDate> date;
        std::optional<QTime> time;
    };
    void readRow(NoteColour colour);
    void readClock();
    void onClockChanged();
    void setAlarm();
    void poke(QTimer* check);
    void rest(QTimer* check);

    SettingsForm& m_form;
    const Clock& m_clock;
    WallClockAlarm& m_alarm;
    qint64 m_displayedMinute = -1; // minutes since 1970 that the clock display shows
    std::array<Read, 3> m_rows; // by NoteColour
    ReminderRules::Reading m_shown; // the clock display, as read
    // What the clock display showed when each time check was armed or last looked: a display
    // that has since moved forward over the check's minute fires it.
    std::array<std::optional<QDateTime>, 3> m_seen;
};
