// SPDX-License-Identifier: GPL-3.0-or-later
#include "storekeys.h"

namespace {

struct Row {
    StoreEntry entry;
    const char* section;
    const char* suffix; // after the colour word
};

constexpr Row kTable[] = {
    { StoreEntry::Date, "Date", "" },
    { StoreEntry::Hour, "Hour", "" },
    { StoreEntry::Min, "Min", "" },
    { StoreEntry::DateSwitch, "Timer", "" },
    { StoreEntry::TimeSwitch, "Timer", "1" },
    { StoreEntry::StartSwitch, "Always", "" },
    { StoreEntry::NoteText, "Note", "" },
};

} // namespace

StoreKey storeKey(StoreEntry entry, NoteColour colour)
{
    for (const Row& r : kTable) {
        if (r.entry == entry)
            return { QLatin1String(r.section), colourWord(colour) + QLatin1String(r.suffix) };
    }
    return {};
}

std::optional<std::pair<StoreEntry, NoteColour>> storeEntryAt(
    const QString& section, const QString& key)
{
    for (const Row& r : kTable) {
        for (NoteColour c : kAllNotes) {
            if (section == QLatin1String(r.section)
                && key == colourWord(c) + QLatin1String(r.suffix))
                return std::pair { r.entry, c };
        }
    }
    return std::nullopt;
}
