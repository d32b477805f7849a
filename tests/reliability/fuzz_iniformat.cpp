// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reading of the settings file: any bytes parse, a parsed file written out reads back
// the same, and any text stored into it reads back unchanged without disturbing the rest.
#include "platform/settingsfile/iniformat.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_iniformat: %s\n", what);
        std::abort();
    }
}

bool sameEntries(const IniFormat::Document& a, const IniFormat::Document& b)
{
    if (a.sections() != b.sections())
        return false;
    for (const QString& s : a.sections()) {
        if (a.keys(s) != b.keys(s))
            return false;
        for (const QString& k : a.keys(s)) {
            if (*a.find(s, k) != *b.find(s, k))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const IniFormat::Document doc = IniFormat::parse(bytes);
    const QByteArray once = doc.serialize();
    require(once.size() == doc.byteSize(), "byteSize differs from the written size");
    const IniFormat::Document again = IniFormat::parse(once);
    require(sameEntries(doc, again), "entries change when the file is written and read again");
    require(again.serialize() == once, "writing a re-read file changes it");

    // Texts as typing makes them (from UTF-8) and as raw UTF-16 units (lone surrogates, NULs).
    const QString texts[] = { QString::fromUtf8(bytes),
        QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)) };
    for (const QString& text : texts) {
        IniFormat::Document edited = again;
        edited.setValue(QStringLiteral("Note"), QStringLiteral("Red"), text);
        // The document reads a text it was given back from the bytes it made of it.
        const QString* kept = edited.find(u"Note", u"Red");
        require(kept && *kept == text, "a text set does not read back from its own document");
        require(!edited.setValue(QStringLiteral("Note"), QStringLiteral("Red"), QString(text)),
            "setting the same text again counts as a change");
        IniFormat::Document changed = edited;
        require(changed.setValue(QStringLiteral("Note"), QStringLiteral("Red"), text + u'x')
                && changed.setValue(QStringLiteral("Note"), QStringLiteral("Red"), text),
            "setting a different text does not count as a change");
        require(*changed.find(u"Note", u"Red") == text, "a text set twice does not read back");
        const IniFormat::Document read = IniFormat::parse(edited.serialize());
        const QString* back = read.find(u"Note", u"Red");
        require(back && *back == text, "a stored text does not read back unchanged");
        for (const QString& s : again.sections()) {
            for (const QString& k : again.keys(s)) {
                if (s == QLatin1String("Note") && k == QLatin1String("Red"))
                    continue;
                const QString* other = read.find(s, k);
                require(other && *other == *again.find(s, k), "storing a text changed another");
            }
        }
        QByteArray escaped;
        IniFormat::appendEscapedValue(escaped, text);
        require(IniFormat::unescapeValue(escaped) == text, "value escaping does not round-trip");
    }
    return 0;
}
