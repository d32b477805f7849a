// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include <array>

/// The identity of a note. The three notes differ only in the data of this table.
enum class NoteColour { Red, Green, Blue };

/// The order in which start-up restores the notes and the tray menu lists them.
inline constexpr std::array<NoteColour, 3> kBlueGreenRed { NoteColour::Blue, NoteColour::Green,
    NoteColour::Red };
inline constexpr std::array<NoteColour, 3> kAllNotes { NoteColour::Red, NoteColour::Green,
    NoteColour::Blue };

/// "Red", "Green" or "Blue": the word used in settings keys and control names.
QString colourWord(NoteColour colour);
/// The colour of the note's row in the settings window.
QColor rowColour(NoteColour colour);
/// The background of the note window's text box.
QColor noteTextColour(NoteColour colour);
/// The note window's own background, covered by its text box.
QColor noteWindowColour(NoteColour colour);
