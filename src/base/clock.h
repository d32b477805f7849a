// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

/// The source of the current local date and time.
class Clock {
public:
    virtual ~Clock() = default;

    /// The current local date and time.
    virtual QDateTime now() const = 0;
    /// Milliseconds since 1970 (UTC): what the clock says, without the cost of local time.
    virtual qint64 msecsSinceEpoch() const = 0;
};
