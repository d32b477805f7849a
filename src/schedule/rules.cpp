// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules.h"

#include <QTimeZone>

namespace ReminderRules {

namespace {

    constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

    QDateTime on(const QDateTime& like, QDate date, QTime time)
    {
        // The local clock stays the local clock, so that its daylight saving applies.
        return like.timeSpec() == Qt::LocalTime ? QDateTime(date, time)
                                                : QDateTime(date, time, like.timeZone());
    }

} // namespace

std::optional<QDateTime> Reading::at() const
{
    if (!date || !time)
        return std::nullopt;
    return QDateTime(*date, *time, QTimeZone::utc());
}

QDateTime firstAfter(QTime minute, const QDateTime& after)
{
    const QDateTime today = on(after, after.date(), minute);
    if (today > after)
        return today;
    // The minute may come twice today, when the clocks go back.
    const QDateTime again = today.addSecs(3600);
    if (again > after && again.time() == minute)
        return again;
    return on(after, after.date().addDays(1), minute);
}

bool dateDue(std::optional<QDate> preset, const Reading& shown)
{
    // A text that does not read as a date is never due.
    return preset && shown.date && *preset <= *shown.date;
}

QDate firstDayDue(QDate preset, QDate today)
{
    const QDate tomorrow = today.addDays(1);
    return dateDue(preset, Reading { tomorrow, std::nullopt }) ? tomorrow : preset;
}

bool jumpedOver(QTime minute, const QDateTime& seen, const QDateTime& shown)
{
    return shown > seen && firstAfter(minute, seen) <= shown;
}

bool timeDue(std::optional<QTime> preset, const Reading& shown, std::optional<QDateTime> seen)
{
    if (!preset)
        return false;
    if (shown.time && *preset == *shown.time)
        return true;
    const std::optional<QDateTime> at = shown.at();
    return seen && at && jumpedOver(*preset, *seen, *at);
}

qint64 nextWake(const Plan& plan)
{
    // Zone offsets are whole minutes: the display changes at the next minute since 1970.
    const qint64 nowMs = plan.now.toMSecsSinceEpoch();
    const qint64 nextMinute = (nowMs / 60000 + 1) * 60000;
    if (plan.displayShown)
        return nextMinute;
    // With nothing armed, a wake a day ahead keeps the alarm set, and so hearing of clock changes.
    qint64 due = nowMs + kDayMs;
    // A change of the zone's offset can move the display into, over or back past a check's
    // minute: the display looks again at each.
    if (plan.offsetChange.isValid())
        due = qMin(due, plan.offsetChange.toMSecsSinceEpoch());
    for (QTime t : plan.times)
        due = qMin(due, firstAfter(t, plan.now).toMSecsSinceEpoch());
    // A date check due today would have fired already: it can newly be due from a later day on.
    for (QDate d : plan.dates)
        due = qMin(due, firstDayDue(d, plan.now.date()).startOfDay().toMSecsSinceEpoch());
    // A check that did not fire in the display's current minute is not due before the next.
    return qMax(due, nextMinute);
}

} // namespace ReminderRules
