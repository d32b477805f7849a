// SPDX-License-Identifier: GPL-3.0-or-later
#include "xdgpaths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace {

QString homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty())
        return QFile::decodeName(home);
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    QByteArray buffer(size > 0 ? size : 16384, Qt::Uninitialized);
    passwd entry {};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), size_t(buffer.size()), &result) == 0 && result
        && result->pw_dir && *result->pw_dir)
        return QFile::decodeName(result->pw_dir);
    return QStringLiteral("/");
}

} // namespace

QString xdgConfigHome()
{
    const QString configured = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!configured.isEmpty() && configured.startsWith(u'/'))
        return QDir::cleanPath(configured);
    return QDir::cleanPath(homeFolder() + QStringLiteral("/.config"));
}
