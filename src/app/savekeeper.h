// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class MessageBox;
class SettingsStore;

/// What becomes of a save that failed: the store tries again every few seconds until a write
/// goes through, and before the program ends one last save is made; where that fails too, the
/// person chooses between closing anyway and keeping the program running.
class SaveKeeper final : public QObject {
    Q_OBJECT
public:
    SaveKeeper(SettingsStore& store, MessageBox& messages, QObject* parent = nullptr);
    SaveKeeper(const SaveKeeper&) = delete;
    SaveKeeper& operator=(const SaveKeeper&) = delete;

    /// A write failed: the person is told, and the store tries again until it works.
    void saveFailed(const QString& reason);
    /// A write went through after a failure; it saved whatever earlier ones left behind.
    void savedAgain();
    /// One last save before the program ends; when it fails, asks whether to close anyway. True
    /// when the program may end.
    bool readyToEnd();
    /// The desktop session is ending: one last save, and the question where the session lets the
    /// program ask. False when the person chose to keep running.
    bool sessionEnding(bool mayAsk);

signals:
    /// Tell the person that notes cannot be saved, and why.
    void failureToTell(const QString& reason);
    /// Saving works again.
    void recovered();

private:
    SettingsStore& m_store;
    MessageBox& m_messages;
    QTimer m_retry;
    bool m_asking = false;
};
