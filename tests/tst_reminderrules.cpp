// SPDX-License-Identifier: GPL-3.0-or-later
// The reminder rules alone, as plain values: no window, no display, no clock. Runs with
// TZ=Europe/Berlin for the daylight-saving cases.
#include "schedule/rules.h"

#include <QTimeZone>
#include <QtTest>

using namespace ReminderRules;

Q_DECLARE_METATYPE(ReminderRules::Reading)
Q_DECLARE_METATYPE(ReminderRules::Plan)

namespace {

QDateTime shownAt(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute), QTimeZone::utc());
}

Reading reading(int day, int hour, int minute)
{
    return { QDate(2026, 12, day), QTime(hour, minute) };
}

QDateTime berlin(int month, int day, int hour, int minute)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute));
}

} // namespace

class TstReminderRules final : public QObject {
    Q_OBJECT
private slots:
    void dateDueFromItsDayOn();
    void timeDue_data();
    void timeDue();
    void nextWake_data();
    void nextWake();
};

void TstReminderRules::dateDueFromItsDayOn()
{
    const Reading today = reading(8, 9, 41);
    QVERIFY(dateDue(QDate(2026, 12, 8), today));
    QVERIFY(dateDue(QDate(2004, 7, 5), today));
    QVERIFY(!dateDue(QDate(2026, 12, 9), today));
    QVERIFY(!dateDue(std::nullopt, today));
    QVERIFY(!dateDue(QDate(2026, 12, 1), Reading { std::nullopt, QTime(9, 41) }));
}

void TstReminderRules::timeDue_data()
{
    QTest::addColumn<QTime>("preset");
    QTest::addColumn<Reading>("shown");
    QTest::addColumn<QDateTime>("seen"); // invalid: nothing seen yet
    QTest::addColumn<bool>("due");
    const QTime nine(9, 0);
    QTest::newRow("in its minute") << nine << reading(8, 9, 0) << QDateTime() << true;
    QTest::newRow("just after, seen before: passed over")
        << nine << reading(8, 9, 1) << shownAt(8, 8, 59) << true;
    QTest::newRow("after it, but seen after it too")
        << nine << reading(8, 9, 5) << shownAt(8, 9, 1) << false;
    QTest::newRow("asleep over midnight")
        << QTime(0, 30) << reading(9, 7, 0) << shownAt(8, 23, 0) << true;
    QTest::newRow("a jump that stops short of tomorrow's minute")
        << QTime(8, 0) << reading(9, 7, 59) << shownAt(8, 9, 0) << false;
    QTest::newRow("clock set back over it")
        << nine << reading(8, 8, 0) << shownAt(8, 10, 0) << false;
}

void TstReminderRules::timeDue()
{
    QFETCH(QTime, preset);
    QFETCH(Reading, shown);
    QFETCH(QDateTime, seen);
    QFETCH(bool, due);
    QCOMPARE(
        ReminderRules::timeDue(preset, shown, seen.isValid() ? std::optional(seen) : std::nullopt),
        due);
    QVERIFY(!ReminderRules::timeDue(std::nullopt, shown, seen));
}

void TstReminderRules::nextWake_data()
{
    QTest::addColumn<Plan>("plan");
    QTest::addColumn<QDateTime>("wake");
    const QDateTime now = berlin(12, 8, 9, 41).addSecs(30);
    const QDateTime nextMinute = berlin(12, 8, 9, 42);
    QTest::newRow("shown: the next minute")
        << Plan { now, true, {}, { QTime(18, 0) }, {} } << nextMinute;
    QTest::newRow("nothing armed: a day ahead")
        << Plan { now, false, {}, {}, {} } << now.addDays(1);
    QTest::newRow("a time later today")
        << Plan { now, false, {}, { QTime(18, 0) }, {} } << berlin(12, 8, 18, 0);
    QTest::newRow("a time passed today: tomorrow's")
        << Plan { now, false, {}, { QTime(9, 0) }, {} } << berlin(12, 9, 9, 0);
    QTest::newRow("never before the display's next minute")
        << Plan { now, false, now, {}, {} } << nextMinute;
    QTest::newRow("the earliest of several")
        << Plan { now, false, {}, { QTime(18, 0), QTime(12, 0) }, { QDate(2026, 12, 9) } }
        << berlin(12, 8, 12, 0);
    QTest::newRow("tomorrow's date: its midnight")
        << Plan { now, false, {}, {}, { QDate(2026, 12, 9) } } << berlin(12, 9, 0, 0);
    QTest::newRow("a past date: tomorrow's midnight")
        << Plan { now, false, {}, {}, { QDate(2026, 12, 1) } } << berlin(12, 9, 0, 0);
    QTest::newRow("an offset change comes first")
        << Plan { now, false, berlin(12, 8, 12, 0), { QTime(18, 0) }, {} } << berlin(12, 8, 12, 0);
    // 25 October 2026: 02:30 comes twice in Berlin, in summer time and again in winter time.
    const QDateTime firstHalfPast = QDateTime(QDate(2026, 10, 25), QTime(0, 30), QTimeZone::utc());
    QTest::newRow("clocks going back: the minute again")
        << Plan { firstHalfPast.addSecs(60).toLocalTime(), false, {}, { QTime(2, 30) }, {} }
        << firstHalfPast.addSecs(3600).toLocalTime();
}

void TstReminderRules::nextWake()
{
    QFETCH(Plan, plan);
    QFETCH(QDateTime, wake);
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(ReminderRules::nextWake(plan)), wake);
}

QTEST_GUILESS_MAIN(TstReminderRules)
#include "tst_reminderrules.moc"
