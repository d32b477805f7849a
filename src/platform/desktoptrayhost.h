// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/trayhost.h"

#include <QSet>
#include <QStringList>

class QTimer;

/// The X11 selection and the StatusNotifierWatcher on the session bus.
class DesktopTrayHost final : public TrayHost {
    Q_OBJECT
public:
    explicit DesktopTrayHost(QObject* parent = nullptr);

    Kind current() const override;
    void watch() override;
    void stopWatching() override;
    void keepItemRegistered() override;

private:
    void registerItemAgain();
    QStringList registeredItems() const;
    bool xembedTray() const;
    bool statusNotifierHost() const;

private slots: // the bus connects by name
    void check();
    void noteItem(const QString& item);

private:
    QTimer* m_poll = nullptr;
    bool m_watching = false;
    QSet<QString> m_items; // this process's items as the watcher lists them
};
