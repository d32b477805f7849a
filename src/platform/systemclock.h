// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/clock.h"

/// The system's clock, in the local time zone as it is now.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 msecsSinceEpoch() const override { return QDateTime::currentMSecsSinceEpoch(); }
};
