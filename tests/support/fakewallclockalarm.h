// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes.h"

#include "base/wallclockalarm.h"

#include <utility>

/// An alarm on a FakeClock. The test moves the wall clock: runTo as time passes with the program
/// running (a wake at each alarm on the way), stepTo as a clock change, a resume or a new zone.
class FakeWallClockAlarm final : public WallClockAlarm {
public:
    explicit FakeWallClockAlarm(FakeClock& clock)
        : m_clock(clock)
    {
    }
    void wakeAt(qint64 msecsSinceEpoch) override { deadline = msecsSinceEpoch; }

    void runTo(const QDateTime& to)
    {
        const qint64 end = to.toMSecsSinceEpoch();
        while (deadline > 0 && deadline <= end) {
            const qint64 due = std::exchange(deadline, 0);
            m_clock.current = QDateTime::fromMSecsSinceEpoch(due);
            emit woke();
        }
        m_clock.current = QDateTime::fromMSecsSinceEpoch(end);
    }
    void stepTo(const QDateTime& to)
    {
        m_clock.current = QDateTime::fromMSecsSinceEpoch(to.toMSecsSinceEpoch());
        emit clockChanged();
    }

    qint64 deadline = 0; // ms since 1970; 0 when none is set
private:
    FakeClock& m_clock;
};
