// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>

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
    /// The icon went to a StatusNotifierItem host: keep it registered with a watcher that is
    /// restarted (a panel restarted with its own watcher).
    virtual void keepItemRegistered() { }

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
