// SPDX-License-Identifier: GPL-3.0-or-later
#include "reminders.h"

#include "base/clock.h"
#include "base/intervals.h"
#include "base/wallclockalarm.h"
#include "schedule/datetext.h"
#include "settingswindow/settingsform.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimeZone>
#include <QWidget>
#include <QTimer>

namespace {

// An armed check's timer runs (that is what armed means) but ticks by itself only once a day,
// which changes nothing. Qt's timers misreport intervals near INT_MAX, so not longer.
constexpr int kRestMs = 24 * 60 * 60 * 1000;

void setIfChanged(QLineEdit* field, const QString& text)
{
    // Rewriting an unchanged text would only cost a repaint.
    if (field->text() != text)
        field->setText(text);
}

} // namespace

Reminders::Reminders(
    SettingsForm& form, const Clock& clock, WallClockAlarm& alarm, ShowNote show, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_clock(clock)
    , m_alarm(alarm)
    , m_show(std::move(show))
{
    connect(m_form.TmrSys, &QTimer::timeout, this, &Reminders::TmrSys_Timer);
    connect(&m_alarm, &WallClockAlarm::woke, this, [this] {
        TmrSys_Timer();
        setAlarm();
    });
    connect(&m_alarm, &WallClockAlarm::clockChanged, this, &Reminders::onClockChanged);
    for (QLineEdit* clock : { m_form.txtSysDate, m_form.txtSysTime })
        connect(clock, &QLineEdit::textChanged, this, &Reminders::readClock);
    // The display is seen only in the settings window: it follows every minute while that is
    // shown, and is brought up to date when it is shown again.
    if (QWidget* window = m_form.txtSysTime->window())
        window->installEventFilter(this);
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

void Reminders::startClock()
{
    // TmrSys runs for the whole run; the alarm does its work.
    rest(m_form.TmrSys);
    onClockChanged();
}

void Reminders::arm(QTimer* check)
{
    if (check->isActive())
        return;
    TmrSys_Timer(); // what the check remembers of the display is today's
    for (NoteColour c : kAllNotes) {
        if (m_form.row(c).tmrTime == check)
            m_seen[size_t(c)] = displayed();
    }
    // The first look comes one nominal tick later, as it always did: after start-up has restored
    // every row and the alerts of the notes shown at start have played.
    check->start(intervals().firstLookMs);
    setAlarm();
}

bool Reminders::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        TmrSys_Timer();
        setAlarm();
    } else if (event->type() == QEvent::Hide) {
        setAlarm();
    }
    return QObject::eventFilter(watched, event);
}

void Reminders::poke(QTimer* check)
{
    if (check->isActive())
        check->start(0);
}

void Reminders::rest(QTimer* check) { check->start(kRestMs); }

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

void Reminders::readClock()
{
    m_today = DateText::readDate(m_form.txtSysDate->text());
    m_now = DateText::readTime(m_form.txtSysTime->text());
    // The date and the time text change one after the other: the checks look once both are new.
    for (NoteColour c : kAllNotes) {
        poke(m_form.row(c).tmrDate);
        poke(m_form.row(c).tmrTime);
    }
}

std::optional<QDateTime> Reminders::displayed() const
{
    if (!m_today || !m_now)
        return std::nullopt;
    // A reading of the display, compared as it reads: no time zone, no daylight saving.
    return QDateTime(*m_today, *m_now, QTimeZone::utc());
}

void Reminders::onClockChanged()
{
    // A new zone moves the display without a new minute since 1970.
    m_displayedMinute = -1;
    TmrSys_Timer();
    setAlarm();
}

void Reminders::setAlarm()
{
    // Zone offsets are whole minutes: the display changes at the next minute since 1970.
    const qint64 nextMinute = (m_clock.msecsSinceEpoch() / 60000 + 1) * 60000;
    const QWidget* window = m_form.txtSysTime->window();
    if (window && window->isVisible()) {
        m_alarm.wakeAt(nextMinute);
        return;
    }
    // Hidden, the display waits for the first moment a check can become due. With none armed, a
    // wake a day ahead keeps the alarm set, and so hearing of clock changes.
    const QDateTime now = m_clock.now();
    qint64 due = now.toMSecsSinceEpoch() + kRestMs;
    // A change of the zone's offset (summer time) can move the display into, over or back past
    // a check's minute: the display looks again at each.
    const QTimeZone::OffsetData change = QTimeZone::systemTimeZone().nextTransition(now);
    if (change.atUtc.isValid())
        due = qMin(due, change.atUtc.toMSecsSinceEpoch());
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        const Read& read = m_rows[size_t(c)];
        if (row.tmrTime->isActive() && read.time) {
            QDateTime at(now.date(), *read.time);
            if (at <= now) {
                // The minute may come twice today, when the clocks go back.
                const QDateTime again = at.addSecs(3600);
                at = again > now && again.time() == *read.time
                    ? again
                    : QDateTime(now.date().addDays(1), *read.time);
            }
            due = qMin(due, at.toMSecsSinceEpoch());
        }
        if (row.tmrDate->isActive() && read.date)
            due = qMin(
                due, qMax(*read.date, now.date().addDays(1)).startOfDay().toMSecsSinceEpoch());
    }
    // Never before the display's next minute: a check that did not fire in this one is not due.
    m_alarm.wakeAt(qMax(due, nextMinute));
}

void Reminders::TmrSys_Timer()
{
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
    TmrSys_Timer();
    const NoteRow row = m_form.row(colour);
    const Read& read = m_rows[size_t(colour)];
    if (read.dateEmpty) {
        row.tmrDate->stop();
        return;
    }
    // A text that does not read as a date is not due; the check stays armed.
    if (!read.date || !m_today || *read.date > *m_today) {
        rest(row.tmrDate);
        return;
    }
    m_show(colour);
    row.tmrDate->stop();
}

void Reminders::timeCheck_Timer(NoteColour colour)
{
    TmrSys_Timer();
    const NoteRow row = m_form.row(colour);
    const Read& read = m_rows[size_t(colour)];
    if (read.hourEmpty || read.minEmpty) {
        row.tmrTime->stop();
        return;
    }
    std::optional<QDateTime>& seen = m_seen[size_t(colour)];
    const std::optional<QDateTime> shown = displayed();
    bool due = read.time && m_now && *read.time == *m_now;
    if (!due && read.time && seen && shown && *shown > *seen) {
        // The display jumped forward (a sleep, a clock set forward, a daylight-saving gap, a
        // zone to the east): the first of the check's minutes after the last one seen was
        // passed over unseen.
        QDateTime next(seen->date(), *read.time, QTimeZone::utc());
        if (next <= *seen)
            next = next.addDays(1);
        due = next <= *shown;
    }
    if (shown)
        seen = shown;
    if (!due) {
        rest(row.tmrTime);
        return;
    }
    m_show(colour);
    row.tmrTime->stop();
}
