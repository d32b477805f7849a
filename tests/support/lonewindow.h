// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes.h"
#include "fakewallclockalarm.h"
#include "shortintervals.h"

#include "settingswindow/settingswindow.h"

#include <QList>

/// The settings window alone, against fakes: no notes and no tray; the notes it asks to pop up
/// are only counted.
struct LoneSettingsWindow {
    ShortIntervals shortIntervals;
    RecordingStore store;
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(9, 41, 30)) };
    FakeWallClockAlarm alarm { clock };
    FakeCommandRunner commands;
    SettingsWindow window { store, clock, alarm, commands };
    QList<NoteColour> popped; // by noteDue, in order

    LoneSettingsWindow()
    {
        QObject::connect(&window, &SettingsWindow::noteDue, [this](NoteColour c) { popped << c; });
    }
    LoneSettingsWindow(const LoneSettingsWindow&) = delete;
    LoneSettingsWindow& operator=(const LoneSettingsWindow&) = delete;

    /// The window's part of start-up: the clock display, then the rows restored.
    SettingsWindow& start()
    {
        window.startClock();
        for (NoteColour c : kBlueGreenRed)
            window.RestorePresets(c);
        return window;
    }
};
