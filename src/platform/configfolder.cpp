// SPDX-License-Identifier: GPL-3.0-or-later
#include "configfolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {

QString homeFromUserDatabase()
{
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    QByteArray buffer(size > 0 ? size : 16384, Qt::Uninitialized);
    passwd entry {};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), size_t(buffer.size()), &result) == 0 && result
        && result->pw_dir && *result->pw_dir)
        return QFile::decodeName(result->pw_dir);
    return QStringLiteral("/");
}

} // namespace

QString userConfigFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!QDir::isRelativePath(folder) && !qEnvironmentVariableIsEmpty("HOME"))
        return QDir::cleanPath(folder);
    if (QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME")))
        return QDir::cleanPath(folder);
    // Qt takes a relative $XDG_CONFIG_HOME from the working folder, and "/" for a missing $HOME.
    const QString home
        = qEnvironmentVariableIsEmpty("HOME") ? homeFromUserDatabase() : QDir::homePath();
    return QDir::cleanPath(home + QStringLiteral("/.config"));
}
