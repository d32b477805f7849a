// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockdisplay.h"

#include "base/clock.h"
#include "base/wallclockalarm.h"
#include "schedule/datetext.h"
#include "settingswindow/settingsform.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimeZone>
#include <QTimer>
#include <QWidget>

namespace {

void setIfChanged(QLineEdit* field, const QString& text)
{
    // Rewriting an unchanged text would only cost a repaint.
    if (field->text() != text)
        field->setText(text);
}

} // namespace

ClockDisplay::ClockDisplay(
    SettingsForm& form, const Clock& clock, WallClockAlarm& alarm, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_clock(clock)
    , m_alarm(alarm)
{
    connect(m_form.TmrSys, &QTimer::timeout, this, &ClockDisplay::TmrSys_Timer);
    connect(&m_alarm, &WallClockAlarm::woke, this, [this] {
        TmrSys_Timer();
        emit wakeNeeded();
    });
    connect(&m_alarm, &WallClockAlarm::clockChanged, this, &ClockDisplay::onClockChanged);
    for (QLineEdit* field : { m_form.txtSysDate, m_form.txtSysTime })
        connect(field, &QLineEdit::textChanged, this, &ClockDisplay::read);
    // The display is seen only in the settings window: it follows every minute while that is
    // shown, and is brought up to date when it is shown again.
    if (QWidget* window = m_form.txtSysTime->window())
        window->installEventFilter(this);
    read();
}

void ClockDisplay::startClock()
{
    // TmrSys runs for the whole run; the alarm does its work.
    m_form.TmrSys->start(kRestMs);
    onClockChanged();
}

void ClockDisplay::TmrSys_Timer()
{
    const qint64 minute = m_clock.msecsSinceEpoch() / 60000;
    if (minute == m_displayedMinute)
        return;
    m_displayedMinute = minute;
    const QDateTime now = m_clock.now();
    setIfChanged(m_form.txtSysDate, DateText::formatDate(now.date()));
    setIfChanged(m_form.txtSysTime, DateText::formatTime(now.time()));
}

void ClockDisplay::wakeFor(const QList<QTime>& times, const QList<QDate>& dates)
{
    ReminderRules::Plan plan;
    plan.now = m_clock.now();
    const QWidget* window = m_form.txtSysTime->window();
    plan.displayShown = window && window->isVisible();
    plan.offsetChange = QTimeZone::systemTimeZone().nextTransition(plan.now).atUtc;
    plan.times = times;
    plan.dates = dates;
    m_alarm.wakeAt(ReminderRules::nextWake(plan));
}

bool ClockDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        TmrSys_Timer();
        emit wakeNeeded();
    } else if (event->type() == QEvent::Hide) {
        emit wakeNeeded();
    }
    return QObject::eventFilter(watched, event);
}

void ClockDisplay::read()
{
    m_reading.date = DateText::readDate(m_form.txtSysDate->text());
    m_reading.time = DateText::readTime(m_form.txtSysTime->text());
    emit readAgain();
}

void ClockDisplay::onClockChanged()
{
    // A new zone moves the display without a new minute since 1970.
    m_displayedMinute = -1;
    TmrSys_Timer();
    emit wakeNeeded();
}
