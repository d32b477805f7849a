// SPDX-License-Identifier: GPL-3.0-or-later
#include "reminders.h"

#include "base/intervals.h"
#include "schedule/datetext.h"
#include "settingswindow/clockdisplay.h"
#include "settingswindow/settingsform.h"

#include <QLineEdit>
#include <QTimer>

Reminders::Reminders(SettingsForm& form, ClockDisplay& display, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_display(display)
{
    // The date and the time text change one after the other: the checks look once both are new.
    connect(&m_display, &ClockDisplay::readAgain, this, [this] {
        for (NoteColour c : kAllNotes) {
            poke(m_form.row(c).tmrDate);
            poke(m_form.row(c).tmrTime);
        }
    });
    connect(&m_display, &ClockDisplay::wakeNeeded, this, &Reminders::setAlarm);
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        connect(row.tmrDate, &QTimer::timeout, this, [this, c] { dateCheck_Timer(c); });
        connect(row.tmrTime, &QTimer::timeout, this, [this, c] { timeCheck_Timer(c); });
        for (QLineEdit* field : { row.txtDate, row.txtHour, row.txtMin })
            connect(field, &QLineEdit::textChanged, this, [this, c] { readRow(c); });
        readRow(c);
    }
}

void Reminders::arm(QTimer* check)
{
    if (check->isActive())
        return;
    m_display.TmrSys_Timer(); // what the check remembers of the display is today's
    for (NoteColour c : kAllNotes) {
        if (m_form.row(c).tmrTime == check)
            m_seen[size_t(c)] = m_display.reading().at();
    }
    // The first look comes one nominal tick later, as it always did: after start-up has restored
    // every row and the alerts of the notes shown at start have played.
    check->start(intervals().firstLookMs);
    setAlarm();
}

void Reminders::poke(QTimer* check)
{
    if (check->isActive())
        check->start(0);
}

// An armed check's timer runs (that is what armed means) but waits without end.
void Reminders::rest(QTimer* check) { check->start(ClockDisplay::kRestMs); }

void Reminders::readRow(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    Read& read = m_rows[size_t(colour)];
    const QString date = row.txtDate->text(), hour = row.txtHour->text(), min = row.txtMin->text();
    read.dateEmpty = date.isEmpty();
    read.hourEmpty = hour.isEmpty();
    read.minEmpty = min.isEmpty();
    read.date = DateText::readDate(date);
    read.time = DateText::readTime(hour, min);
    poke(row.tmrDate);
    poke(row.tmrTime);
}

void Reminders::setAlarm()
{
    QList<QTime> times;
    QList<QDate> dates;
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        const Read& read = m_rows[size_t(c)];
        if (row.tmrTime->isActive() && read.time)
            times.append(*read.time);
        if (row.tmrDate->isActive() && read.date)
            dates.append(*read.date);
    }
    m_display.wakeFor(times, dates);
}

void Reminders::dateCheck_Timer(NoteColour colour)
{
    m_display.TmrSys_Timer();
    const NoteRow row = m_form.row(colour);
    const Read& read = m_rows[size_t(colour)];
    if (read.dateEmpty) {
        row.tmrDate->stop();
        return;
    }
    if (!ReminderRules::dateDue(read.date, m_display.reading())) {
        rest(row.tmrDate);
        return;
    }
    emit due(colour);
    row.tmrDate->stop();
}

void Reminders::timeCheck_Timer(NoteColour colour)
{
    m_display.TmrSys_Timer();
    const NoteRow row = m_form.row(colour);
    const Read& read = m_rows[size_t(colour)];
    if (read.hourEmpty || read.minEmpty) {
        row.tmrTime->stop();
        return;
    }
    std::optional<QDateTime>& seen = m_seen[size_t(colour)];
    const bool isDue = ReminderRules::timeDue(read.time, m_display.reading(), seen);
    if (const std::optional<QDateTime> shown = m_display.reading().at())
        seen = shown;
    if (!isDue) {
        rest(row.tmrTime);
        return;
    }
    emit due(colour);
    row.tmrTime->stop();
}
