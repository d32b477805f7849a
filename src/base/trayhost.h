// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

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
