// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls.h"

#include "notes/notewindow.h"

#include <QApplication>

/// The program's open window of that objectName, found among the top-level windows as a desktop
/// tool finds it; null when there is none. Two of one name would mean two programs alive, and a
/// test that cannot tell them apart: it fails at once.
inline QWidget* windowNamed(const QString& name)
{
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != name)
            continue;
        if (found)
            qFatal("two windows %s", qPrintable(name));
        found = w;
    }
    return found;
}

/// A note's window (frmRed...), or null while nothing has asked for it.
inline NoteWindow* noteWindow(NoteColour colour)
{
    return qobject_cast<NoteWindow*>(windowNamed(QStringLiteral("frm") + colourWord(colour)));
}
inline bool noteShown(NoteColour colour)
{
    NoteWindow* w = noteWindow(colour);
    return w && w->isVisible();
}
