// SPDX-License-Identifier: GPL-3.0-or-later
#include "reminders.h"

#include "base/clock.h"
#include "forms/mainform.h"
#include "schedule/datetext.h"

#include <QLineEdit>
#include <QTimer>

namespace {

void setIfChanged(QLineEdit* field, const QString& text)
{
    // Rewriting an unchanged text would only cost a repaint.
    if (field->text() != text)
        field->setText(text);
}

} // namespace

Reminders::Reminders(MainForm& form, const Clock& clock, ShowNote show, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_clock(clock)
    , m_show(std::move(show))
{
    connect(m_form.TmrSys, &QTimer::timeout, this, &Reminders::TmrSys_Timer);
    for (QLineEdit* clock : { m_form.txtSysDate, m_form.txtSysTime })
        connect(clock, &QLineEdit::textChanged, this, &Reminders::readClock);
    readClock();
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        connect(row.tmrDate, &QTimer::timeout, this, [this, c] { dateCheck_Timer(c); });
        connect(row.tmrTime, &QTimer::timeout, this, [this, c] { timeCheck_Timer(c); });
        for (QLineEdit* field : { row.txtDate, row.txtHour, row.txtMin })
            connect(field, &QLineEdit::textChanged, this, [this, c] { readRow(c); });
        readRow(c);
    }
}

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
}

void Reminders::readClock()
{
    m_today = DateText::readDate(m_form.txtSysDate->text());
    m_now = DateText::readTime(m_form.txtSysTime->text());
}

void Reminders::TmrSys_Timer()
{
    // Local time costs a look at the time zone on every call. Zone offsets are whole minutes,
    // so the display can only change when the minute since 1970 does (a clock set back or
    // forward changes it too).
    const qint64 minute = m_clock.msecsSinceEpoch() / 60000;
    if (minute == m_displayedMinute)
        return;
    m_displayedMinute = minute;
    const QDateTime now = m_clock.now();
    setIfChanged(m_form.txtSysDate, DateText::formatDate(now.date()));
    setIfChanged(m_form.txtSysTime, DateText::formatTime(now.time()));
}

void Reminders::dateCheck_Timer(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    const Read& read = m_rows[size_t(colour)];
    if (read.dateEmpty) {
        row.tmrDate->stop();
        return;
    }
    // A text that does not read as a date is not due; the check stays armed.
    if (!read.date || !m_today || *read.date > *m_today)
        return;
    m_show(colour);
    row.tmrDate->stop();
}

void Reminders::timeCheck_Timer(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    const Read& read = m_rows[size_t(colour)];
    if (read.hourEmpty || read.minEmpty) {
        row.tmrTime->stop();
        return;
    }
    if (!read.time || !m_now || *read.time != *m_now)
        return;
    m_show(colour);
    row.tmrTime->stop();
}
