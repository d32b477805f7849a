// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>

/// The per-user store of text entries, addressed by section and key. The application name
/// ("Tackpad") is fixed inside each implementation.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// The entry's text, or empty text when the entry, its section or the whole store is missing.
    virtual QString ReadSetting(const QString& section, const QString& key) = 0;
    /// Creates or replaces the entry; the value is durable when this returns true.
    virtual bool WriteSetting(const QString& section, const QString& key, const QString& value) = 0;
    /// Removes that one entry; removing a missing entry succeeds and changes nothing.
    virtual bool RemoveSetting(const QString& section, const QString& key) = 0;
    /// Writes again what failed writes and removals left unsaved; true when nothing is left.
    virtual bool retrySave() { return true; }
    /// The entries, as (section, key), that failed writes and removals left unsaved.
    virtual QList<QPair<QString, QString>> unsavedEntries() const { return {}; }
    /// Why the last failed write or removal failed, in words for the user.
    virtual QString errorString() const { return {}; }
};

/// Why a save failed, in words for the user, also where the store could not say.
inline QString saveFailureReason(const QString& error)
{
    return error.isEmpty() ? QStringLiteral("The settings file cannot be written.") : error;
}
