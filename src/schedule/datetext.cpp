// SPDX-License-Identifier: GPL-3.0-or-later
#include "datetext.h"

#include <QLocale>

namespace {

const QString kDateFormat = QStringLiteral("MMMM dd, yyyy");
// For reading: one or two digits of the day, so that a hand-written "July 5, 2004" reads too.
const QString kReadFormat = QStringLiteral("MMMM d, yyyy");

std::optional<int> readNumber(QStringView digits, int maximum)
{
    if (digits.isEmpty() || digits.size() > 2)
        return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= maximum ? std::optional<int>(value) : std::nullopt;
}

QDate parseDate(const QString& text)
{
    const QDate date = QLocale::system().toDate(text, kReadFormat);
    return date.isValid() ? date : QLocale::c().toDate(text, kReadFormat);
}

} // namespace

namespace DateText {

QString formatDate(QDate date) { return QLocale::system().toString(date, kDateFormat); }

QString formatTime(QTime time) { return time.toString(QStringLiteral("HH:mm")); }

QString formatNumber(int value) { return QString::number(value); }

std::optional<QDate> readDate(const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const QDate date = parseDate(text);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<QTime> readTime(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    return readTime(QStringView(text).left(colon), QStringView(text).mid(colon + 1));
}

std::optional<QTime> readTime(QStringView hourText, QStringView minuteText)
{
    const auto hour = readNumber(hourText, 23);
    const auto minute = readNumber(minuteText, 59);
    if (!hour || !minute)
        return std::nullopt;
    return QTime(*hour, *minute);
}

} // namespace DateText
