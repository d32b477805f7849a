// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QTimer;

/// The desktop's notification area, as the tray icon needs to know it: whether there is one and
/// which kind, and when one appears later (a panel that starts after the program, or restarts).
class TrayHost : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        None,
        XEmbed, ///< a tray window holding the _NET_SYSTEM_TRAY selection
        StatusNotifier, ///< a StatusNotifierItem host registered with the watcher on D-Bus
    };

    using QObject::QObject;

    /// The tray there now. A StatusNotifierItem host wins over an XEmbed tray, as in Qt.
    virtual Kind current() const = 0;
    /// Reports with appeared() when a tray comes; until stopWatching().
    virtual void watch() = 0;
    virtual void stopWatching() = 0;

signals:
    void appeared();
};

/// The X11 selection and the StatusNotifierWatcher on the session bus.
class DesktopTrayHost final : public TrayHost {
    Q_OBJECT
public:
    explicit DesktopTrayHost(QObject* parent = nullptr);

    Kind current() const override;
    void watch() override;
    void stopWatching() override;

private:
    bool xembedTray() const;
    bool statusNotifierHost() const;

private slots: // the bus connects by name
    void check();

private:
    QTimer* m_poll = nullptr;
    bool m_watching = false;
};
