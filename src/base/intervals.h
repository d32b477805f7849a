// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The program's waits that a person notices, in one place: a test sets them short before it
/// builds the parts, instead of waiting them out.
struct Intervals {
    int trayWaitMs = 5000; // for a panel that starts after the programs of the autostart list
    int saveRetryMs = 2000; // until a failed save is tried again
    int creditLineMs = 2000; // between the credit line's two texts
    int firstLookMs = 100; // from arming a check to its first look
    int toneMs = 10; // each tone of the warble
};

/// The intervals the parts read when they are built (or, for a tone, when it plays).
Intervals& intervals();
