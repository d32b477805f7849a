// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QString>

#include <optional>

/// What the settings store keeps of a note, each under a section and a key made of the note's
/// colour word and a suffix ("Timer", "Red1").
enum class StoreEntry { Date, Hour, Min, DateSwitch, TimeSwitch, StartSwitch, NoteText };

struct StoreKey {
    QString section;
    QString key;
};

/// The one table of sections and keys.
StoreKey storeKey(StoreEntry entry, NoteColour colour);
/// The note and the kind of an entry of the table; nothing for any other section and key.
std::optional<std::pair<StoreEntry, NoteColour>> storeEntryAt(
    const QString& section, const QString& key);

inline StoreKey presetDate(NoteColour c) { return storeKey(StoreEntry::Date, c); }
inline StoreKey presetHour(NoteColour c) { return storeKey(StoreEntry::Hour, c); }
inline StoreKey presetMin(NoteColour c) { return storeKey(StoreEntry::Min, c); }
inline StoreKey dateSwitch(NoteColour c) { return storeKey(StoreEntry::DateSwitch, c); }
inline StoreKey timeSwitch(NoteColour c) { return storeKey(StoreEntry::TimeSwitch, c); }
inline StoreKey startSwitch(NoteColour c) { return storeKey(StoreEntry::StartSwitch, c); }
inline StoreKey noteText(NoteColour c) { return storeKey(StoreEntry::NoteText, c); }

/// A switch is stored as "ON" or "OFF" and counts as set only when it reads exactly "ON".
inline const QString kOn = QStringLiteral("ON");
inline const QString kOff = QStringLiteral("OFF");
