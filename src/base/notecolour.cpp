// SPDX-License-Identifier: GPL-3.0-or-later
#include "notecolour.h"

QString colourWord(NoteColour colour)
{
    switch (colour) {
    case NoteColour::Red:
        return QStringLiteral("Red");
    case NoteColour::Green:
        return QStringLiteral("Green");
    case NoteColour::Blue:
        return QStringLiteral("Blue");
    }
    return {};
}

QColor rowColour(NoteColour colour)
{
    switch (colour) {
    case NoteColour::Red:
        return QColor(255, 128, 128);
    case NoteColour::Green:
        return QColor(0, 255, 0);
    case NoteColour::Blue:
        return QColor(0, 255, 255);
    }
    return {};
}

QColor noteTextColour(NoteColour colour)
{
    // The Blue note is lighter than its row in the settings window.
    return colour == NoteColour::Blue ? QColor(128, 255, 255) : rowColour(colour);
}

QColor noteWindowColour(NoteColour colour)
{
    return colour == NoteColour::Green ? QColor(0, 255, 0) : QColor(192, 255, 255);
}
