// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

/// Hands a web address to the desktop, without waiting.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    /// Starts the desktop's opener for the address, detached; false when it could not be started.
    virtual bool openWebPage(const QUrl& address) = 0;
};
