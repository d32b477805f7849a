// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "schedule/rules.h"

#include <QList>
#include <QObject>

class Clock;
class SettingsForm;
class WallClockAlarm;

/// The clock display of the settings window (txtSysDate, txtSysTime) and the wall-clock alarm that
/// keeps it current. Nothing polls: the display is rewritten when its minute changes, at an
/// instant of the wall clock, and at once after a clock change, a resume or a new time zone. The
/// checks compare their presets with what it shows, as read back from its texts.
class ClockDisplay final : public QObject {
    Q_OBJECT
public:
    /// How long a timer that waits without end (TmrSys, an armed check) waits before it ticks
    /// by itself, which changes nothing. Qt's timers misreport intervals near INT_MAX, so not
    /// longer than a day.
    static constexpr int kRestMs = 24 * 60 * 60 * 1000;

    ClockDisplay(SettingsForm& form, const Clock& clock, WallClockAlarm& alarm, QObject* parent);

    /// Fills the display and keeps it current from now on.
    void startClock();
    /// Rewrites the display from the clock when its minute changed.
    void TmrSys_Timer();
    /// What the display shows, as read.
    const ReminderRules::Reading& reading() const { return m_reading; }
    /// Sets the alarm for the next moment the display changes while it is seen, otherwise for the
    /// first moment one of these armed checks' presets can become due.
    void wakeFor(const QList<QTime>& times, const QList<QDate>& dates);

signals:
    /// The display's texts changed and were read again.
    void readAgain();
    /// The alarm must be set again: it went off, the clock changed, or the window was shown or
    /// hidden.
    void wakeNeeded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void read();
    void onClockChanged();

    SettingsForm& m_form;
    const Clock& m_clock;
    WallClockAlarm& m_alarm;
    qint64 m_displayedMinute = -1; // minutes since 1970 that the display shows
    ReminderRules::Reading m_reading;
};
