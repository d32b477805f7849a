// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The desktop's list of programs started at log-on.
class Autostart {
public:
    virtual ~Autostart() = default;

    /// Registers the program under name with its fixed path; false when the list cannot be written.
    virtual bool registerProgram(const QString& name, const QString& programPath) = 0;
};
