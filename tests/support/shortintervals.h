// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/intervals.h"

/// The program's waits made short for as long as it lives: a test waits on what it expects,
/// never the real seconds.
struct ShortIntervals {
    ShortIntervals()
    {
        intervals() = {
            .trayWaitMs = 50, .saveRetryMs = 20, .creditLineMs = 20, .firstLookMs = 50, .toneMs = 1
        };
    }
    ~ShortIntervals() { intervals() = {}; }
    ShortIntervals(const ShortIntervals&) = delete;
    ShortIntervals& operator=(const ShortIntervals&) = delete;
};
