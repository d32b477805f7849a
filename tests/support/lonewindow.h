// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes.h"
#include "fakewallclockalarm.h"

#include "settingswindow/settingswindow.h"

/// The settings window alone, against fakes: no notes, no tray, nothing restored or started.
struct LoneSettingsWindow {
    RecordingStore store;
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(9, 41, 30)) };
    FakeWallClockAlarm alarm { clock };
    FakeCommandRunner commands;
    SettingsWindow window { store, clock, alarm, commands };
};
