// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopcommandrunner.h"

#include <QProcess>

bool DesktopCommandRunner::openWebPage(const QUrl& address)
{
    // Only a whole address with a scheme: anything else could read as an option of the opener.
    if (!address.isValid() || address.isRelative())
        return false;
    // The encoded form holds no blanks, quotes or line breaks for the opener's scripts to split.
    return QProcess::startDetached(
        QStringLiteral("xdg-open"), { QString::fromLatin1(address.toEncoded()) });
}
