// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

/// One running copy per settings store. The first start holds a lock and listens on a channel
/// beside it; a later start on the same store asks that copy to show its settings window and
/// ends. Both live in $XDG_RUNTIME_DIR, or in the store's own private folder where that is not
/// set, so no other user can take the names first or send anything.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First, ///< this copy holds the lock: it runs, and should listen()
        HandedOver, ///< the running copy took the request: this one ends
        NoAnswer, ///< a copy holds the lock but did not answer in time
        Unlockable, ///< no lock can be held there: run without the check
    };

    explicit SingleInstance(const QString& storePath, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    /// Takes the lock, or hands over to the copy that holds it, waiting at most timeoutMs for
    /// its answer. Needs no application object and writes nothing when it hands over.
    Claim claim(int timeoutMs);
    /// Opens the channel for later starts; only after claim() gave First, once an application
    /// object exists.
    bool listen();

signals:
    /// A later start asked for the settings window.
    void activationRequested();

private:
    void serve();

    QString m_lockPath;
    QString m_channelPath;
    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
};
