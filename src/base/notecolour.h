// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include <array>

/// The identity of a note. The three notes differ only in the data of noteIdentity().
enum class NoteColour { Red, Green, Blue };

/// The order in which start-up restores the notes and the tray menu lists them.
inline constexpr std::array<NoteColour, 3> kBlueGreenRed { NoteColour::Blue, NoteColour::Green,
    NoteColour::Red };
inline constexpr std::array<NoteColour, 3> kAllNotes { NoteColour::Red, NoteColour::Green,
    NoteColour::Blue };

/// What tells one note from the others. The store's keys and most control names are made of its
/// word ("txtDateRed", "Timer/Red1"); the names below are the ones that do not follow that rule.
struct NoteIdentity {
    const char* word; // "Red", "Green" or "Blue"
    QRgb row; // its row in the settings window, and its calendar
    QRgb noteText; // the background of the note window's text box
    QRgb noteWindow; // the note window's own background, covered by its text box
    QRgb marker; // its column marker in the settings window
    const char* markerName; // "Shape1"
    const char* dateTimer; // "tmrRed"
    const char* timeTimer; // "TmrRed1"
};

/// The one table of the notes' identities.
const NoteIdentity& noteIdentity(NoteColour colour);

/// "Red", "Green" or "Blue": the word used in settings keys and control names.
QString colourWord(NoteColour colour);
/// The colour of the note's row in the settings window.
inline QColor rowColour(NoteColour colour) { return QColor(noteIdentity(colour).row); }
/// The background of the note window's text box.
inline QColor noteTextColour(NoteColour colour) { return QColor(noteIdentity(colour).noteText); }
/// The note window's own background, covered by its text box.
inline QColor noteWindowColour(NoteColour colour)
{
    return QColor(noteIdentity(colour).noteWindow);
}
