// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>

#include <optional>

/// When a reminder is due and when the program must look again: plain functions of the clock
/// display's reading, the presets and what a check saw last. The checks and the wake-up planner
/// both ask these, so they never disagree.
namespace ReminderRules {

/// The clock display as read: its date and its time text, either of which may not read.
struct Reading {
    std::optional<QDate> date;
    std::optional<QTime> time;
    /// The reading as an instant, compared as it reads: no time zone, no daylight saving.
    std::optional<QDateTime> at() const;
};

/// The first instant after `after`, in its time zone, whose time is `minute`: later today, or
/// again today where the clocks went back over it, or else tomorrow.
QDateTime firstAfter(QTime minute, const QDateTime& after);

/// A date check is due once the display's date has reached the preset date.
bool dateDue(std::optional<QDate> preset, const Reading& shown);
/// The first day after `today` on which a date check of that preset is due.
QDate firstDayDue(QDate preset, QDate today);
/// A time check is due in its minute, or when the display jumped forward over that minute since
/// the reading it saw last (a sleep, a clock set forward, a daylight-saving gap, a zone to the
/// east).
bool timeDue(std::optional<QTime> preset, const Reading& shown, std::optional<QDateTime> seen);
/// Whether the display, moving from `seen` to `shown`, passed over the minute unseen.
bool jumpedOver(QTime minute, const QDateTime& seen, const QDateTime& shown);

/// What the wake-up is planned from: the clock, whether the display is on screen, the next change
/// of the zone's offset (invalid for none) and the presets of the armed checks.
struct Plan {
    QDateTime now;
    bool displayShown = false;
    QDateTime offsetChange;
    QList<QTime> times;
    QList<QDate> dates;
};
/// The instant, in ms since 1970, at which the display must be looked at again: its next minute
/// while it is shown, otherwise the first moment a check can become due, and at the latest a day
/// ahead; never before the display's next minute.
qint64 nextWake(const Plan& plan);

} // namespace ReminderRules
