// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandrunner.h"

#include <QProcess>

bool DesktopCommandRunner::run(const QString& command)
{
    // "start <address>" opens the address with the desktop's opener; no shell sees the text.
    const QString prefix = QStringLiteral("start ");
    if (!command.startsWith(prefix))
        return false;
    const QString address = command.mid(prefix.size()).trimmed();
    if (address.isEmpty())
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), { address });
}
