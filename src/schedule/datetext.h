// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

/// The date and time texts of the clock display and the presets, and how the checks read them.
namespace DateText {

/// "MMMM dd, yyyy" with the full month name of the program's locale (the system's, as the
/// calendars use it), as in "July 05, 2004".
QString formatDate(QDate date);
/// "HH:mm", 24-hour clock, no seconds.
QString formatTime(QTime time);
/// A value of a scroll bar as the hour and minute fields show it: digits without a leading zero.
QString formatNumber(int value);

/// Reads a date text by the program's locale, then by English, then by the month names of every
/// locale Qt knows, so that a change of language does not silently stop a reminder. Nothing when
/// the text is no such date.
std::optional<QDate> readDate(const QString& text);
/// Reads "H:m" (one or two digits each, hour 0 to 23, minute 0 to 59). Nothing otherwise.
std::optional<QTime> readTime(const QString& text);
/// The same for the hour and the minute given apart: what readTime(hour + ":" + minute) gives.
std::optional<QTime> readTime(QStringView hour, QStringView minute);

} // namespace DateText
