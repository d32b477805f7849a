// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the autostart entry exactly as start-up does, so that the machine-wide copy installed
// with the program has the per-user entry's content byte for byte.
//   tackpad-autostart-entry OUTPUT
#include "base/buildinfo.h"
#include "platform/xdgautostart.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tackpad-autostart-entry OUTPUT\n");
        return 2;
    }
    const QByteArray entry
        = autostartEntry(QStringLiteral("Tackpad"), BuildInfo::fixedProgramPath());
    QFile out(QFile::decodeName(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(entry) != entry.size()
        || !out.flush()) {
        std::fprintf(stderr, "tackpad-autostart-entry: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
