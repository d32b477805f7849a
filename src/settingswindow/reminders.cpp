// SPDX-License-Identifier: GPL-3.0-or-later
#include "reminders.h"

#include "base/clock.h"
#include "base/intervals.h"
#include "base/wallclockalarm.h"
#include "schedule/datetext.h"
#include "schedule/rules.h"
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

Reminders::Reminders(SettingsForm& form, const Clock& clock, WallClockAlarm& alarm, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_clock(clock)
    , m_alarm(alarm)
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
            m_seen[size_t(c)] = m_shown.at();
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
    m_shown.date = DateText::readDate(m_form.txtSysDate->text());
    m_shown.time = DateText::readTime(m_form.txtSysTime->text());
    // The date and the time text change one after the other: the checks look once both are new.
    for (NoteColour c : kAllNotes) {
        poke(m_form.row(c).tmrDate);
        poke(m_form.row(c).tmrTime);
    }
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
    ReminderRules::Plan plan;
    plan.now = m_clock.now();
    const QWidget* window = m_form.txtSysTime->window();
    plan.displayShown = window && window->isVisible();
    plan.offsetChange = QTimeZone::systemTimeZone().nextTransition(plan.now).atUtc;
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        const Read& read = m_rows[size_t(c)];
        if (row.tmrTime->isActive() && read.time)
            plan.times.append(*read.time);
        if (row.tmrDate->isActive() && read.date)
            plan.dates.append(*read.date);
    }
    m_alarm.wakeAt(ReminderRules::nextWake(plan));
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
    if (!ReminderRules::dateDue(read.date, m_shown)) {
        rest(row.tmrDate);
        return;
    }
    emit due(colour);
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
    const bool isDue = ReminderRules::timeDue(read.time, m_shown, seen);
    if (const std::optional<QDateTime> shown = m_shown.at())
        seen = shown;
    if (!isDue) {
        rest(row.tmrTime);
        return;
    }
    emit due(colour);
    row.tmrTime->stop();
}
