// SPDX-License-Identifier: GPL-3.0-or-later
#include "reminders.h"

#include "app/clock.h"
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
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        connect(row.tmrDate, &QTimer::timeout, this, [this, c] { dateCheck_Timer(c); });
        connect(row.tmrTime, &QTimer::timeout, this, [this, c] { timeCheck_Timer(c); });
    }
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
    const QString preset = row.txtDate->text();
    if (preset.isEmpty()) {
        row.tmrDate->stop();
        return;
    }
    const auto presetDate = DateText::readDate(preset);
    const auto today = DateText::readDate(m_form.txtSysDate->text());
    // A text that does not read as a date is not due; the check stays armed.
    if (!presetDate || !today || *presetDate > *today)
        return;
    m_show(colour);
    row.tmrDate->stop();
}

void Reminders::timeCheck_Timer(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    const bool noHour = row.txtHour->text().isEmpty();
    if (noHour)
        row.tmrTime->stop();
    const bool noMinute = row.txtMin->text().isEmpty();
    if (noMinute)
        row.tmrTime->stop();
    if (noHour || noMinute)
        return;
    const auto preset
        = DateText::readTime(row.txtHour->text() + QLatin1Char(':') + row.txtMin->text());
    const auto now = DateText::readTime(m_form.txtSysTime->text());
    if (!preset || !now || *preset != *now)
        return;
    m_show(colour);
    row.tmrTime->stop();
}
