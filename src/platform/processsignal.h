// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

/// A signal sent to the process, delivered as a Qt signal on the interface thread: SIGTERM, the
/// usual end of a session or a service stop, so that the program can save before it ends;
/// SIGCONT, a continue after a stop, which may have slept over any instant. One object per kind
/// at a time; it restores the default action when it is destroyed.
class ProcessSignal final : public QObject {
    Q_OBJECT
public:
    enum class Kind { Terminate, Continue };

    explicit ProcessSignal(Kind kind, QObject* parent = nullptr);
    ~ProcessSignal() override;
    ProcessSignal(const ProcessSignal&) = delete;
    ProcessSignal& operator=(const ProcessSignal&) = delete;

signals:
    void received();

private:
    Kind m_kind;
    QSocketNotifier* m_notifier = nullptr;
};
