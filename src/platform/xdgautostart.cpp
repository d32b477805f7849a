// SPDX-License-Identifier: GPL-3.0-or-later
#include "xdgautostart.h"

#include "platform/configfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

#include <unistd.h>

QString quoteExecArgument(const QString& argument)
{
    // Inside double quotes, ", `, $ and \ take a backslash; the value itself then escapes each
    // backslash again, and a literal % is written %%.
    QString quoted;
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'%', QStringLiteral("%%"));
    // A value is one line: control characters take their escapes.
    quoted.replace(u'\n', QStringLiteral("\\n"));
    quoted.replace(u'\t', QStringLiteral("\\t"));
    quoted.replace(u'\r', QStringLiteral("\\r"));
    return u'"' + quoted + u'"';
}

QByteArray autostartEntry(const QString& name, const QString& programPath)
{
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=%1\n"
                                   "Comment=Sticky-note reminder in the system tray\n"
                                   "Exec=%2\n"
                                   "Icon=tackpad\n"
                                   "Terminal=false\n"
                                   "Categories=Utility;\n"
                                   // Start once the panel is there, so the tray icon can dock.
                                   "X-GNOME-Autostart-Phase=Applications\n"
                                   "X-KDE-autostart-after=panel\n")
                        .arg(name, quoteExecArgument(programPath));
    return entry.toUtf8();
}

XdgAutostart::XdgAutostart(QString folder)
    : m_folder(std::move(folder))
{
}

bool XdgAutostart::registerProgram(const QString& name, const QString& programPath)
{
    const QString folder
        = m_folder.isEmpty() ? userConfigFolder() + QStringLiteral("/autostart") : m_folder;
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return false;
    // Written to a new file and renamed over the old one. QSaveFile would write to the target
    // of a link planted in place of the entry; rename replaces the link itself.
    const QString path = folder + u'/' + name + QStringLiteral(".desktop");
    QTemporaryFile file(folder + u'/' + u'.' + name + QStringLiteral(".desktop.XXXXXX"));
    if (!file.open())
        return false;
    const QByteArray entry = autostartEntry(name, programPath);
    if (file.write(entry) != entry.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
        | QFileDevice::ReadOther);
    if (::rename(
            QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData())
        != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}
