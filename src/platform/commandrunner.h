// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Hands a command line of the form "start <address>" to the desktop, without waiting.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    /// Starts the command detached; false when it could not be started.
    virtual bool run(const QString& command) = 0;
};

/// Opens the address of a "start" command with the desktop's URL opener (xdg-open), no shell.
class DesktopCommandRunner final : public CommandRunner {
public:
    bool run(const QString& command) override;
};
