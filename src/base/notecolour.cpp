// SPDX-License-Identifier: GPL-3.0-or-later
#include "notecolour.h"

namespace {

constexpr QRgb kPink = qRgb(255, 128, 128);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kCyan = qRgb(0, 255, 255);
constexpr QRgb kLightCyan = qRgb(128, 255, 255);
constexpr QRgb kPaleCyan = qRgb(192, 255, 255);

// By NoteColour. The Blue note is lighter than its row; Red and Blue share a window colour.
constexpr NoteIdentity kNotes[] = {
    { "Red", kPink, kPink, kPaleCyan, kPink, "Shape1", "tmrRed", "TmrRed1" },
    { "Green", kGreen, kGreen, kGreen, kGreen, "Shape2", "tmrGreen", "TmrGreen1" },
    { "Blue", kCyan, kLightCyan, kPaleCyan, kLightCyan, "Shape3", "TmrBlue", "TmrBlue1" },
};

} // namespace

const NoteIdentity& noteIdentity(NoteColour colour) { return kNotes[size_t(colour)]; }

QString colourWord(NoteColour colour) { return QLatin1String(noteIdentity(colour).word); }
