// SPDX-License-Identifier: GPL-3.0-or-later
#include "datetext.h"

#include <QHash>
#include <QLocale>
#include <QLoggingCategory>

#include <algorithm>

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

Q_LOGGING_CATEGORY(lcSchedule, "tackpad.schedule", QtWarningMsg)

// Month names match whatever their case, width or accent composition: "DÉCEMBRE", "décembre"
// and "１２月" as "12月" are what a hand or another desktop may write.
QString folded(QStringView name)
{
    return name.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// 1 to 12, or 0 when the locale has no such full month name (format or standalone form: Qt
// writes "grudnia" in Polish dates but reads only that, not "grudzień").
int monthOf(const QLocale& locale, const QString& foldedName)
{
    for (int month = 1; month <= 12; ++month) {
        if (folded(locale.monthName(month)) == foldedName
            || folded(locale.standaloneMonthName(month)) == foldedName)
            return month;
    }
    return 0;
}

// The full month names of every locale Qt knows, built once and only when a date does not read
// by the program's own locale or by English, so that a normal start never pays for it.
int monthOfAnyLocale(const QString& foldedName)
{
    static const QHash<QString, int> months = [] {
        QHash<QString, int> table;
        const auto locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        for (const QLocale& locale : locales) {
            for (int month = 1; month <= 12; ++month) {
                for (const QString& name :
                    { locale.monthName(month), locale.standaloneMonthName(month) }) {
                    // A name of two months ("listopad" is October in Croatian and November in
                    // Czech and Polish) takes the earlier: a note shown a month early can be
                    // hidden, one shown a month late has missed its date.
                    int& known = table[folded(name)];
                    known = known ? std::min(known, month) : month;
                }
            }
        }
        qCDebug(lcSchedule) << "month names of" << locales.size() << "locales:" << table.size();
        return table;
    }();
    return months.value(foldedName);
}

// "<month name> <d>, <yyyy>" with the day and year in the digits of any script, as another
// locale writes them; the name may hold blanks and digits itself ("tháng 12 08, 2026").
QDate parseByAnyLocale(const QString& text)
{
    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    qsizetype end = t.size();
    auto digitsBefore = [&](qsizetype maxCount, int& value) {
        qsizetype count = 0;
        value = 0;
        while (end > 0 && t[end - 1].isDigit() && count < maxCount) {
            --end;
            ++count;
        }
        for (qsizetype i = end; i < end + count; ++i)
            value = value * 10 + t[i].digitValue();
        return count;
    };
    auto skipBlanks = [&] {
        while (end > 0 && t[end - 1].isSpace())
            --end;
    };
    int year = 0, day = 0;
    if (digitsBefore(5, year) != 4)
        return {};
    skipBlanks();
    if (end == 0 || t[end - 1] != u',')
        return {};
    --end;
    skipBlanks();
    const qsizetype dayDigits = digitsBefore(3, day);
    if (dayDigits < 1 || dayDigits > 2 || end == 0 || !t[end - 1].isSpace())
        return {};
    skipBlanks();
    const QString name = folded(QStringView(t).left(end));
    if (name.isEmpty())
        return {};
    // The program's own locale wins over English, and English over the rest.
    int month = monthOf(QLocale(), name);
    if (!month)
        month = monthOf(QLocale::c(), name);
    if (!month) {
        month = monthOfAnyLocale(name);
        qCDebug(lcSchedule) << "date" << text << "read by another locale's month:" << month;
    }
    return month ? QDate(year, month, day) : QDate();
}

QDate parseDate(const QString& text)
{
    // The program's own locale (the system's) wrote it, or it reads as English; these cover
    // every date written since the last change of language.
    QDate date = QLocale().toDate(text, kReadFormat);
    if (!date.isValid())
        date = QLocale::c().toDate(text, kReadFormat);
    return date.isValid() ? date : parseByAnyLocale(text);
}

} // namespace

namespace DateText {

QString formatDate(QDate date) { return QLocale().toString(date, kDateFormat); }

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
