// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the settings store on a file of arbitrary bytes: it reads what the format says, and a
// write keeps every other entry, lands whole, and leaves the file private.
#include "platform/settingsfile/iniformat.h"
#include "platform/settingsfile/inisettingsstore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_inistore: %s\n", what);
        std::abort();
    }
}

QString folder()
{
    // A memory file system where there is one: each input is written and synced.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? QStringLiteral("/dev/shm/tackpad-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/tackpad-fuzz-XXXXXX"));
    return dir.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = folder() + QStringLiteral("/Tackpad.ini");
    {
        QFile f(path);
        require(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == size,
            "cannot write the input");
    }
    const IniFormat::Document doc = IniFormat::parse(bytes);
    IniSettingsStore store(path);
    for (const QString& s : doc.sections()) {
        for (const QString& k : doc.keys(s))
            require(store.ReadSetting(s, k) == *doc.find(s, k), "the store reads another value");
    }
    const QString text = QString::fromUtf8(bytes.left(64)) + QStringLiteral("\n\"end");
    require(store.WriteSetting(QStringLiteral("Note"), QStringLiteral("Red"), text),
        "a write into a garbage file failed");
    require(store.errorString().isEmpty(), "an error after a write that succeeded");

    IniSettingsStore fresh(path);
    require(fresh.ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")) == text,
        "the written text does not read back");
    for (const QString& s : doc.sections()) {
        for (const QString& k : doc.keys(s)) {
            if (s == QLatin1String("Note") && k == QLatin1String("Red"))
                continue;
            require(fresh.ReadSetting(s, k) == *doc.find(s, k), "a write changed another entry");
        }
    }
    require(fresh.RemoveSetting(QStringLiteral("Note"), QStringLiteral("Red")), "removal failed");
    require(
        IniSettingsStore(path).ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")).isEmpty(),
        "a removed entry is still there");
    struct stat st;
    require(::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 07777) == 0600,
        "the settings file is not private");
    return 0;
}
