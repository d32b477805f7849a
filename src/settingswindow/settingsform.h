// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "widgets/commandlabel.h"

#include <QString>

#include <array>

class Announcement;
class QCalendarWidget;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class QStyle;
class QTimer;
class QWidget;

/// The controls of one note in the settings window: its row, its column marker, its calendar and
/// the timers of its checks.
struct NoteRow {
    CommandLabel* lbl = nullptr;
    QLineEdit* txtDate = nullptr;
    QLineEdit* txtHour = nullptr;
    QLineEdit* txtMin = nullptr;
    QScrollBar* VScrollHour = nullptr;
    QScrollBar* VScrollMin = nullptr;
    QCheckBox* chkDate = nullptr; // chkRed
    QCheckBox* chkTime = nullptr; // chkRed1
    QCheckBox* chkStart = nullptr; // chkRed2
    QCalendarWidget* Calendar = nullptr;
    QTimer* tmrDate = nullptr; // tmrRed
    QTimer* tmrTime = nullptr; // TmrRed1
    QWidget* marker = nullptr; // Shape1
};

/// The definition of the settings window frmMain: every control, named as its objectName, in its
/// initial state. Its only behaviour is the calendars' stacking. Only the window's own folder sees
/// it: everything else talks to SettingsWindow.
class SettingsForm final {
public:
    /// Builds the controls on frmMain, which must be a fresh top-level widget.
    void setupUi(QWidget* frmMain);

    const NoteRow& row(NoteColour colour) const { return m_rows[size_t(colour)]; }
    /// Shows a note's calendar where it lies among the others and beneath the help boxes.
    void showCalendar(NoteColour colour);

    /// The client area inside the window's one-pixel border; every control lies on it.
    QWidget* client = nullptr;

    // Title strip
    CommandLabel* lblAd = nullptr;
    CommandLabel* Label13 = nullptr;
    CommandLabel* lblTray = nullptr;
    // Clock
    QLineEdit* txtSysDate = nullptr;
    QLineEdit* txtSysTime = nullptr;
    // Bottom line and help boxes
    CommandLabel* lblMe = nullptr;
    QPlainTextEdit* txtInstruction = nullptr;
    QPlainTextEdit* txtAd = nullptr;
    Announcement* helpSpoken = nullptr; // reads a help box out as it shows
    // Timers
    QTimer* TmrSys = nullptr;
    QTimer* tmrMe = nullptr;

private:
    void buildFrame(QWidget* frmMain);
    void buildOutline();
    void buildTitleStrip();
    void buildHeadings();
    void buildCreditLine();
    void buildNoteNames();
    void buildClock();
    void buildRows();
    void buildTabOrder();
    void buildCalendars();
    void buildHelpBoxes();
    void buildTimers(QWidget* frmMain);

    std::array<NoteRow, 3> m_rows; // by NoteColour
    // The look of the fields, bars, switches and calendars, whatever style the desktop sets.
    QStyle* m_fixedStyle = nullptr;
};
