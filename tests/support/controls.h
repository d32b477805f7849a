// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

/// A window's control, found by its objectName as any outside tool finds it. A name that is not
/// there (or not of that type) fails the test at once.
template <typename T = QWidget> T* child(const QObject& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

/// The controls of one note's row in the settings window.
struct RowControls {
    QLabel* lbl;
    QLineEdit* txtDate;
    QLineEdit* txtHour;
    QLineEdit* txtMin;
    QScrollBar* VScrollHour;
    QScrollBar* VScrollMin;
    QCheckBox* chkDate; // chkRed
    QCheckBox* chkTime; // chkRed1
    QCheckBox* chkStart; // chkRed2
    QCalendarWidget* Calendar;
    QTimer* tmrDate; // tmrRed
    QTimer* tmrTime; // TmrRed1
};

inline RowControls rowOf(const QObject& window, NoteColour colour)
{
    const QString w = colourWord(colour);
    const NoteIdentity& id = noteIdentity(colour);
    return { child<QLabel>(window, "lbl" + w), child<QLineEdit>(window, "txtDate" + w),
        child<QLineEdit>(window, "txtHour" + w), child<QLineEdit>(window, "txtMin" + w),
        child<QScrollBar>(window, "VScrollHour" + w), child<QScrollBar>(window, "VScrollMin" + w),
        child<QCheckBox>(window, "chk" + w), child<QCheckBox>(window, "chk" + w + "1"),
        child<QCheckBox>(window, "chk" + w + "2"), child<QCalendarWidget>(window, "Calendar" + w),
        child<QTimer>(window, QLatin1String(id.dateTimer)),
        child<QTimer>(window, QLatin1String(id.timeTimer)) };
}

/// Lets a timer tick now, as its interval would: the procedure it drives runs.
inline void tick(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout"); }

/// One tick of the clock display, then one of every armed check, as their timers would.
inline void tickAll(const QObject& settingsWindow)
{
    tick(child<QTimer>(settingsWindow, "TmrSys"));
    for (NoteColour c : kAllNotes) {
        const RowControls row = rowOf(settingsWindow, c);
        if (row.tmrDate->isActive())
            tick(row.tmrDate);
        if (row.tmrTime->isActive())
            tick(row.tmrTime);
    }
}

/// A note window's text box (txtRed in frmRed).
inline QTextEdit* noteTextBox(const QWidget* note)
{
    return child<QTextEdit>(*note, QStringLiteral("txt") + note->objectName().mid(3));
}
