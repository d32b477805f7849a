// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notifications.h"

class DesktopNotifications final : public Notifications {
public:
    void notify(const QString& title, const QString& text, std::function<void(bool)> done) override;
};
