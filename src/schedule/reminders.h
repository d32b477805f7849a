// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QDate>
#include <QObject>
#include <QTime>

#include <array>
#include <functional>
#include <optional>

class Clock;
class MainForm;

/// The clock display and the six reminder checks. A check compares the preset fields of the
/// settings window with the clock display, never with the store or the system clock; it runs
/// while its timer runs (armed), fires by asking for its note to be shown, then disarms.
class Reminders final : public QObject {
    Q_OBJECT
public:
    using ShowNote = std::function<void(NoteColour)>;

    Reminders(MainForm& form, const Clock& clock, ShowNote show, QObject* parent = nullptr);

    /// Rewrites the clock display from the clock.
    void TmrSys_Timer();
    /// The date check of a note: due at or after its preset date.
    void dateCheck_Timer(NoteColour colour);
    /// The time check of a note: due in its preset minute.
    void timeCheck_Timer(NoteColour colour);

private:
    /// What the checks need of the fields, read when a field's text changes rather than on
    /// every tick: six checks ten times a second would otherwise copy and parse 21 texts.
    struct Read {
        bool dateEmpty = true, hourEmpty = true, minEmpty = true;
        std::optional<QDate> date;
        std::optional<QTime> time;
    };
    void readRow(NoteColour colour);
    void readClock();

    MainForm& m_form;
    const Clock& m_clock;
    ShowNote m_show;
    qint64 m_displayedMinute = -1; // minutes since 1970 that the clock display shows
    std::array<Read, 3> m_rows; // by NoteColour
    std::optional<QDate> m_today; // the clock display, as read
    std::optional<QTime> m_now;
};
