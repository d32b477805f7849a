// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"

#include <QObject>
#include <QTimer>

class MessageBox;

/// The one owner of saving's failures: every part writes through it, so it sees each write's
/// outcome. After a failure the person is told once, and the store tries again every few seconds
/// until a write goes through; before the program ends one last save is made, and where that
/// fails too, the person chooses between closing anyway and keeping the program running.
class SaveKeeper final : public QObject, public SettingsStore {
    Q_OBJECT
public:
    SaveKeeper(SettingsStore& store, MessageBox& messages, QObject* parent = nullptr);
    SaveKeeper(const SaveKeeper&) = delete;
    SaveKeeper& operator=(const SaveKeeper&) = delete;

    QString ReadSetting(const QString& section, const QString& key) override;
    bool WriteSetting(const QString& section, const QString& key, const QString& value) override;
    bool RemoveSetting(const QString& section, const QString& key) override;
    bool retrySave() override;
    QList<QPair<QString, QString>> unsavedEntries() const override;
    QString errorString() const override;

    /// One last save before the program ends; when it fails, asks whether to close anyway. True
    /// when the program may end.
    bool readyToEnd();
    /// The desktop session is ending: one last save, and the question where the session lets the
    /// program ask. False when the person chose to keep running.
    bool sessionEnding(bool mayAsk);

signals:
    /// Tell the person that notes cannot be saved, and why: once, until saving works again.
    void failureToTell(const QString& reason);
    /// Saving works again.
    void recovered();

private:
    bool outcome(bool saved);

    SettingsStore& m_store;
    MessageBox& m_messages;
    QTimer m_retry;
    bool m_failing = false;
    bool m_asking = false;
};
