// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/commandrunner.h"

/// Opens an address with the desktop's URL opener (xdg-open), no shell.
class DesktopCommandRunner final : public CommandRunner {
public:
    bool openWebPage(const QUrl& address) override;
};
