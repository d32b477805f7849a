// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCalendarWidget;

/// Makes a calendar's day grid heard as a person uses it: a screen reader hears the day the
/// keyboard is on by its weekday, day, month and year at each move (Qt's own table reads a week
/// number and seven day numbers), and Ctrl+Page Up and Ctrl+Page Down move it by a year, as
/// Page Up and Page Down move it by a month.
void readDaysWhole(QCalendarWidget* calendar);
