// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

/// The desktop's notification service (org.freedesktop.Notifications), where a tray over D-Bus
/// sends its messages.
class Notifications {
public:
    virtual ~Notifications() = default;

    /// Sends a warning; later calls done(true) when the service took it, done(false) when there
    /// is no service, none can be started, or the call failed.
    virtual void notify(const QString& title, const QString& text, std::function<void(bool)> done)
        = 0;
};
