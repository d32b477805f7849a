// SPDX-License-Identifier: GPL-3.0-or-later
// The child processes of tst_inisettingsstore: the test binary runs itself with
// "--store-child <mode> ..." to have a second process write the same store.
#include "platform/settingsfile/inisettingsstore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

void report(const QByteArray& line)
{
    // One write(2) per line: the parent sees whole lines even when this process is killed.
    const QByteArray out = line + '\n';
    if (::write(STDOUT_FILENO, out.constData(), size_t(out.size())) < 0)
        std::perror("write");
}

} // namespace

/// The value the growing writer stores for step n; growthStep() recovers n from a whole value.
QString growthValue(qint64 n)
{
    return QStringLiteral("n=%1\n").arg(n) + QString(n, u'x') + QStringLiteral("é😀\t;end");
}

qint64 growthStep(const QString& value)
{
    const qsizetype eol = value.indexOf(u'\n');
    bool ok = false;
    const qint64 n = eol > 2 && value.startsWith(QLatin1String("n="))
        ? QStringView(value).sliced(2, eol - 2).toLongLong(&ok)
        : -1;
    return ok && value == growthValue(n) ? n : -1;
}

/// grow <file>: writes Note/Text with the steps after the one stored, reporting each one saved,
/// until killed. keys <file> <section> <count>: writes <count> keys of its own, then "done".
int runStoreChild(const QStringList& arguments)
{
    const QString mode = arguments.value(0);
    IniSettingsStore store(arguments.value(1));
    if (mode == QLatin1String("grow")) {
        const QString stored = store.ReadSetting(QStringLiteral("Note"), QStringLiteral("Text"));
        for (qint64 n = stored.isEmpty() ? 1 : growthStep(stored) + 1;; ++n) {
            if (!store.WriteSetting(
                    QStringLiteral("Note"), QStringLiteral("Text"), growthValue(n))) {
                report("failed: " + store.errorString().toUtf8());
                return 2;
            }
            report(QByteArray::number(n));
        }
    }
    if (mode == QLatin1String("keys")) {
        const QString section = arguments.value(2);
        const int count = arguments.value(3).toInt();
        for (int i = 0; i < count; ++i) {
            const QString value = section + QString::number(i);
            if (!store.WriteSetting(section, QStringLiteral("k%1").arg(i), value)
                || !store.WriteSetting(section, QStringLiteral("last"), value)) {
                report("failed: " + store.errorString().toUtf8());
                return 2;
            }
        }
        report("done");
        return 0;
    }
    report("unknown child mode");
    return 3;
}
