// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reading of date and time texts as the checks read the preset fields.
#include "schedule/datetext.h"

#include <QRegularExpression>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_datetext: %s\n", what);
        std::abort();
    }
}

// What a time text is: one or two ASCII digits, a colon, one or two ASCII digits, in range.
std::optional<QTime> expectedTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("\\A([0-9]{1,2}):([0-9]{1,2})\\z"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return QTime(hour, minute);
}

void check(const QString& text)
{
    const auto time = DateText::readTime(text);
    require(time == expectedTime(text), "readTime disagrees with the time form");
    if (time)
        require(DateText::readTime(DateText::formatTime(*time)) == time, "time does not re-read");
    // The checks read the hour and minute fields apart; any split must read as the joined text.
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        const QString hour = text.left(cut), minute = text.mid(cut);
        require(DateText::readTime(hour, minute)
                == DateText::readTime(hour + QLatin1Char(':') + minute),
            "hour and minute read apart differ from their joined text");
    }

    const auto date = DateText::readDate(text);
    require(DateText::readDate(text) == date, "reading a date twice differs");
    if (date) {
        require(date->isValid(), "an invalid date was read");
        require(!text.trimmed().isEmpty(), "a blank text was read as a date");
        require(DateText::readDate(DateText::formatDate(*date)) == date,
            "a read date does not re-read from its own text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096)
        return 0; // field texts are short; long ones only slow the search
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    check(QString::fromUtf8(bytes));
    check(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    return 0;
}
