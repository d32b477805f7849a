// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/autostart.h"

/// The desktop entry that starts a program at log-on.
QByteArray autostartEntry(const QString& name, const QString& programPath);
/// Quotes a program path for the Exec key of a desktop entry.
QString quoteExecArgument(const QString& argument);

/// Registers the program in the XDG autostart list: <config home>/autostart/<name>.desktop,
/// replaced atomically on every start.
class XdgAutostart final : public Autostart {
public:
    /// folder: the autostart folder; empty for the user's own.
    explicit XdgAutostart(QString folder = {});

    bool registerProgram(const QString& name, const QString& programPath) override;

private:
    QString m_folder;
};
