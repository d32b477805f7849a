// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

/// SIGTERM, the usual end of a session or a service stop, as a signal on the interface thread,
/// so that the program can save before it ends. One object at a time; it restores the default
/// action when it is destroyed.
class TerminationSignal final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

signals:
    void received();

private:
    QSocketNotifier* m_notifier = nullptr;
};
