// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "widgets/commandlabel.h"

#include <QString>

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

/// The controls of one note's row in the settings window.
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
};

/// The definition of the settings window frmMain: every control, named as its objectName, in its
/// initial state. Its only behaviour is the calendars' stacking; the commands are the controller's.
class SettingsForm final {
public:
    /// Builds the controls on frmMain, which must be a fresh top-level widget.
    void setupUi(QWidget* frmMain);

    NoteRow row(NoteColour colour) const;
    /// Shows a note's calendar where it lies among the others and beneath the help boxes.
    void showCalendar(NoteColour colour);

    /// The client area inside the window's one-pixel border; every control lies on it.
    QWidget* client = nullptr;

    // Title strip
    QLabel* Picture1 = nullptr;
    QLabel* Label2 = nullptr;
    CommandLabel* lblAd = nullptr;
    CommandLabel* Label13 = nullptr;
    CommandLabel* lblTray = nullptr;
    // Outline
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QFrame* Line3 = nullptr;
    QFrame* Line4 = nullptr;
    // Clock
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtSysDate = nullptr;
    QLineEdit* txtSysTime = nullptr;
    // Column markers
    QWidget* Shape1 = nullptr;
    QWidget* Shape2 = nullptr;
    QWidget* Shape3 = nullptr;
    // Headings
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    // Rows
    CommandLabel *lblRed = nullptr, *lblGreen = nullptr, *lblBlue = nullptr;
    QLineEdit *txtDateRed = nullptr, *txtDateGreen = nullptr, *txtDateBlue = nullptr;
    QLineEdit *txtHourRed = nullptr, *txtHourGreen = nullptr, *txtHourBlue = nullptr;
    QLineEdit *txtMinRed = nullptr, *txtMinGreen = nullptr, *txtMinBlue = nullptr;
    QScrollBar *VScrollHourRed = nullptr, *VScrollHourGreen = nullptr, *VScrollHourBlue = nullptr;
    QScrollBar *VScrollMinRed = nullptr, *VScrollMinGreen = nullptr, *VScrollMinBlue = nullptr;
    QCheckBox *chkRed = nullptr, *chkGreen = nullptr, *chkBlue = nullptr;
    QCheckBox *chkRed1 = nullptr, *chkGreen1 = nullptr, *chkBlue1 = nullptr;
    QCheckBox *chkRed2 = nullptr, *chkGreen2 = nullptr, *chkBlue2 = nullptr;
    QCalendarWidget *CalendarRed = nullptr, *CalendarGreen = nullptr, *CalendarBlue = nullptr;
    // Bottom line and help boxes
    CommandLabel* lblMe = nullptr;
    QPlainTextEdit* txtInstruction = nullptr;
    QPlainTextEdit* txtAd = nullptr;
    Announcement* helpSpoken = nullptr; // reads a help box out as it shows
    // Timers
    QTimer *tmrRed = nullptr, *tmrGreen = nullptr, *TmrBlue = nullptr;
    QTimer *TmrRed1 = nullptr, *TmrGreen1 = nullptr, *TmrBlue1 = nullptr;
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

    // The look of the fields, bars, switches and calendars, whatever style the desktop sets.
    QStyle* m_fixedStyle = nullptr;
};

/// The credit line that lblMe shows in turn with the web address.
QString creditText();
