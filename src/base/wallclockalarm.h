// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

/// Wakes the program at an instant of the wall clock, however the machine gets there: a timer of
/// the monotonic clock stands still while the machine sleeps and misses every clock change.
class WallClockAlarm : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// Wakes once at this instant of the wall clock (ms since 1970, UTC); replaces the one before.
    virtual void wakeAt(qint64 msecsSinceEpoch) = 0;

signals:
    /// The instant given to wakeAt has come.
    void woke();
    /// The wall clock or the time zone changed, or the machine resumed: whatever depends on the
    /// time of day must be looked at again.
    void clockChanged();
};
