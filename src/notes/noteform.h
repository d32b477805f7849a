// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "text/notetextbox.h"

class QTimer;
class QWidget;

/// The definition of a note window (frmRed, frmGreen, frmBlue): a rich-text box that fills the
/// window and the timer of its alert. It holds no behaviour.
class NoteForm final {
public:
    void setupUi(QWidget* window, NoteColour colour, NoteTextBox::InsertCheck mayInsert);

    NoteTextBox* txt = nullptr; // txtRed, txtGreen or txtBlue
    QTimer* TimerSound = nullptr;
};

inline constexpr const char* kNoteToolTip
    = "click to edit, click and hold to move, double click to hide.";
