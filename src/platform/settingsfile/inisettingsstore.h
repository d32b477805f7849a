// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"
#include "platform/settingsfile/iniformat.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

/// The settings as a QSettings-compatible INI file, by default ~/.config/Tackpad/Tackpad.ini.
///
/// Every write replaces the file at once (temporary file, fdatasync, rename), so the file on
/// disk always holds either the old or the new content. Several running copies may share the
/// file: writes are serialised by an advisory lock on the folder, and each copy re-reads the
/// file only when another one changed it. Not thread-safe; use one object per thread.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString filePath);
    ~IniSettingsStore() override;
    IniSettingsStore(const IniSettingsStore&) = delete;
    IniSettingsStore& operator=(const IniSettingsStore&) = delete;

    QString ReadSetting(const QString& section, const QString& key) override;
    bool WriteSetting(const QString& section, const QString& key, const QString& value) override;
    bool RemoveSetting(const QString& section, const QString& key) override;
    bool retrySave() override;
    QList<QPair<QString, QString>> unsavedEntries() const override;
    /// Why the last write or removal failed; empty after one that succeeded.
    QString errorString() const override;

    QString filePath() const;
    /// $XDG_CONFIG_HOME/Tackpad/Tackpad.ini, or ~/.config/Tackpad/Tackpad.ini when that variable
    /// is unset, empty or relative; read from the environment at each call.
    static QString defaultFilePath();

private:
    // What identifies one version of the file on disk.
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        std::int64_t changedSeconds = 0;
        std::int64_t changedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    // A change made in this run and not yet on disk.
    struct Change {
        QString section;
        QString key;
        std::optional<QString> value; // nullopt: removal
    };

    bool change(Change change);
    bool apply(const Change& change);
    void refresh(int folderFd);
    void load(int folderFd, int statResult, int statErrno);
    bool save();
    bool fail(const QString& what, int error);

    QString m_filePath;
    QByteArray m_folder; // local 8-bit encoding
    QByteArray m_fileName;
    QByteArray m_nativePath;
    IniFormat::Document m_document;
    QList<Change> m_unsaved;
    bool m_dirty = false;
    bool m_loaded = false;
    bool m_firstWriteDone = false;
    int m_readError = 0; // errno of the last failed read of an existing file
    Stamp m_stamp;
    int m_heldFd = -1; // the file last read or written, held open so its inode is not reused
    QByteArray m_buffer;
    QString m_error;
};
