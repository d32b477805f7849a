// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes.h"
#include "fakewallclockalarm.h"
#include "shortintervals.h"

#include "app/tackpad.h"

#include <memory>

/// The whole program against fakes, as start-up builds it, with short intervals.
struct Harness {
    ShortIntervals shortIntervals;
    RecordingStore store;
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(9, 41, 30)) };
    FakeAutostart autostart;
    FakeMessageBox messages;
    RecordingPorts ports;
    FakeCommandRunner commands;
    FakeTrayHost trayHost; // no notification area unless a test puts one there
    FakeNotifications notifications;
    FakeWallClockAlarm alarm { clock };
    std::unique_ptr<Tackpad> app;

    Tackpad& make()
    {
        app = std::make_unique<Tackpad>(Platform {
            store, clock, autostart, messages, ports, commands, alarm, &trayHost, &notifications });
        return *app;
    }
    Tackpad& start()
    {
        make().Form_Load();
        return *app;
    }
};
