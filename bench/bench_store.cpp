// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one IniSettingsStore::WriteSetting on the typing path (the note's text changes by one
// character per write), next to the floor of any durable replacement of the same bytes: write a
// temporary file in the same folder, fdatasync, rename. Both are measured in turns, so that the
// disk's mood affects them alike.
//
//   bench_store [folder] [writes]   (folder defaults to a temporary one in $TMPDIR)
#include "floor.h"

#include "platform/settingsfile/inisettingsstore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

double elapsedMs(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

bool run(const QString& base, qsizetype valueSize, int writes)
{
    const QString folder = base + QStringLiteral("/size-%1").arg(valueSize);
    QDir(folder).removeRecursively();
    const QString floorFolder = folder + QStringLiteral("/floor");
    if (!QDir().mkpath(floorFolder))
        return false;

    IniSettingsStore store(folder + QStringLiteral("/Tackpad/Tackpad.ini"));
    // A few other entries, as a real store has them.
    for (int i = 0; i < 20; ++i) {
        store.WriteSetting(QStringLiteral("Date"), QStringLiteral("Red%1").arg(i),
            QStringLiteral("July %1, 2004").arg(i));
        store.WriteSetting(
            QStringLiteral("Hour"), QStringLiteral("Red%1").arg(i), QString::number(i));
    }
    QString text;
    const QString line = QStringLiteral("Call the plumber about the kitchen tap, then buy milk.\n");
    while (text.size() < valueSize)
        text += line;
    text.truncate(valueSize);

    std::vector<double> storeMs;
    std::vector<double> floorMs;
    QElapsedTimer timer;
    const QByteArray nativeFloor = QFile::encodeName(floorFolder);
    for (int i = 0; i < writes + 10; ++i) {
        // Typing: one character changes somewhere in the text.
        text[(i * 7919) % text.size()] = QChar(u'a' + i % 26);

        timer.start();
        const bool written
            = store.WriteSetting(QStringLiteral("Note"), QStringLiteral("Red1"), text);
        const double storeCost = elapsedMs(timer);
        if (!written) {
            std::fprintf(stderr, "WriteSetting failed: %s\n", qPrintable(store.errorString()));
            return false;
        }

        const QByteArray bytes = [&] {
            QFile file(store.filePath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        timer.start();
        if (!replaceFile(nativeFloor, bytes)) {
            std::perror("floor");
            return false;
        }
        const double floorCost = elapsedMs(timer);
        if (i >= 10) { // the first few warm up caches and the allocator
            storeMs.push_back(storeCost);
            floorMs.push_back(floorCost);
        }
    }

    const double storeMedian = percentile(storeMs, 0.5);
    const double floorMedian = percentile(floorMs, 0.5);
    const double storeP99 = percentile(storeMs, 0.99);
    const double floorP99 = percentile(floorMs, 0.99);
    std::printf("%8lld chars %6d writes | WriteSetting median %7.3f ms p99 %7.3f ms | floor median "
                "%7.3f ms p99 %7.3f ms | ratio median %.2f p99 %.2f\n",
        static_cast<long long>(valueSize), writes, storeMedian, storeP99, floorMedian, floorP99,
        storeMedian / floorMedian, storeP99 / floorP99);
    std::fflush(stdout);
    QDir(folder).removeRecursively();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QTemporaryDir temporary;
    const QString base = arguments.size() > 1 ? arguments[1] : temporary.path();
    const int writes = arguments.size() > 2 ? arguments[2].toInt() : 1000;
    std::printf("store in %s; the file holds 40 small entries besides the note\n",
        qPrintable(QDir(base).absolutePath()));
    for (const qsizetype size : { qsizetype(1024), qsizetype(64 * 1024), qsizetype(1024 * 1024) }) {
        if (!run(base, size, writes))
            return 1;
    }
    return 0;
}
