// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

/// The source of the current local date and time.
class Clock {
public:
    virtual ~Clock() = default;

    /// The current local date and time.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
