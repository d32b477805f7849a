// SPDX-License-Identifier: GPL-3.0-or-later
// The reminders against the wall clock as it really moves: minutes passing, sleeps, clock
// changes, daylight saving and zone changes. Runs with TZ=Europe/Berlin.
#include "controls.h"
#include "harness.h"

#include "notes/notes.h"
#include "notes/notewindow.h"
#include "platform/systemwallclockalarm.h"
#include "schedule/datetext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <ctime>

#include <unistd.h>

namespace {

QDateTime utc(int month, int day, int hour, int minute, int second = 0, int year = 2026)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

struct Run {
    Harness h;
    Tackpad* app = nullptr;

    Run(const QDateTime& start, const QMap<QString, QString>& stored)
    {
        h.clock.current = start.toLocalTime();
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            h.store.set(it.key(), it.value());
        app = &h.start();
        settle();
    }
    // Lets the checks take their look (the first comes 100 ms after arming): until every armed
    // check's timer rests again.
    void settle()
    {
        const auto resting = [this] {
            for (NoteColour c : kAllNotes) {
                for (QTimer* t :
                    { rowOf(settingsWindow(), c).tmrDate, rowOf(settingsWindow(), c).tmrTime }) {
                    if (t->isActive() && t->remainingTime() < 60000)
                        return false;
                }
            }
            return true;
        };
        for (int i = 0; i < 300 && !resting(); ++i)
            QTest::qWait(10);
        QVERIFY(resting());
    }
    void runTo(const QDateTime& t)
    {
        h.alarm.runTo(t);
        settle();
    }
    void stepTo(const QDateTime& t)
    {
        h.alarm.stepTo(t);
        settle();
    }
    bool shown(NoteColour c) const
    {
        NoteWindow* w = noteWindow(c);
        return w && w->isVisible();
    }
    QString time() const { return child<QLineEdit>(settingsWindow(), "txtSysTime")->text(); }
};

QMap<QString, QString> redAt(int hour, int minute)
{
    return { { "Hour/Red", QString::number(hour) }, { "Min/Red", QString::number(minute) },
        { "Timer/Red1", "ON" } };
}

void setZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}

// The timerfds this process holds, as /proc lists them.
int timerfdsHeld()
{
    int n = 0;
    const QString fds = QStringLiteral("/proc/self/fd/");
    for (const QString& fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char target[64] = {};
        if (::readlink(QFile::encodeName(fds + fd).constData(), target, sizeof target - 1) > 0
            && std::strcmp(target, "anon_inode:[timerfd]") == 0)
            ++n;
    }
    return n;
}

} // namespace

class TstWallClock : public QObject {
    Q_OBJECT
private slots:
    void nothingTicksWhileNothingIsDue();
    void hiddenTheDisplayWaitsUntilItIsSeen();
    void timeCheck_data();
    void timeCheck();
    void firesOnceThoughTheMinuteComesAgain_data();
    void firesOnceThoughTheMinuteComesAgain();
    void dateCheckAtMidnightAndAfterASleep();
    void zoneChangeMovesDisplayAndChecksAtOnce();
    void systemAlarmWakesAndHearsAContinue_data();
    void systemAlarmWakesAndHearsAContinue();
};

void TstWallClock::nothingTicksWhileNothingIsDue()
{
    QMap<QString, QString> stored = redAt(11, 0);
    stored.insert("Date/Red", DateText::formatDate(QDate(2026, 12, 9)));
    stored.insert("Timer/Red", "ON");
    Run r(utc(12, 8, 9, 41, 30), stored);
    const QObject& f = settingsWindow();
    QVERIFY(child<QTimer>(f, "tmrRed")->isActive() && child<QTimer>(f, "TmrRed1")->isActive()
        && child<QTimer>(f, "TmrSys")->isActive());
    QSignalSpy sys(child<QTimer>(f, "TmrSys"), &QTimer::timeout),
        date(child<QTimer>(f, "tmrRed"), &QTimer::timeout),
        time(child<QTimer>(f, "TmrRed1"), &QTimer::timeout);
    QTest::qWait(400);
    QCOMPARE(sys.count() + date.count() + time.count(), 0);
    // Hidden, the one wake-up to come is the first moment a check can be due: Red's 11:00.
    QCOMPARE(r.h.alarm.deadline, utc(12, 8, 10, 0).toMSecsSinceEpoch());
    // Shown, the display follows every minute.
    settingsWindow().show();
    QCOMPARE(r.h.alarm.deadline, utc(12, 8, 9, 42).toMSecsSinceEpoch());
    r.runTo(utc(12, 8, 9, 42, 1));
    QCOMPARE(r.time(), QStringLiteral("10:42"));
    QCOMPARE(date.count(), 1);
    QCOMPARE(time.count(), 1);
    QCOMPARE(r.h.alarm.deadline, utc(12, 8, 9, 43).toMSecsSinceEpoch());
}

void TstWallClock::hiddenTheDisplayWaitsUntilItIsSeen()
{
    Run r(utc(12, 8, 9, 41, 30), {});
    const qint64 rest = r.h.alarm.deadline;
    QVERIFY(rest >= utc(12, 9, 9, 41, 30).toMSecsSinceEpoch()); // nothing due for a day
    r.runTo(utc(12, 8, 12, 0, 10));
    QCOMPARE(r.h.alarm.deadline, rest);
    settingsWindow().show();
    QCOMPARE(r.time(), QStringLiteral("13:00"));
    // A minute passed while the display was hidden is not taken for one passed over.
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    red.txtHour->setText(QStringLiteral("11"));
    red.txtMin->setText(QStringLiteral("30"));
    red.chkTime->click();
    r.settle();
    QVERIFY(red.tmrTime->isActive());
    QVERIFY(!r.shown(NoteColour::Red));
    settingsWindow().hide();
    QCOMPARE(r.h.alarm.deadline, utc(12, 9, 10, 30).toMSecsSinceEpoch());
}

void TstWallClock::timeCheck_data()
{
    // Berlin is UTC+1 in winter, UTC+2 in summer; the spring gap is 2027-03-28 02:00 to 03:00.
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QDateTime>("stepTo"); // a clock change or resume first, when valid
    QTest::addColumn<QDateTime>("runTo"); // then time passing
    QTest::addColumn<bool>("fires");
    const QDateTime none;
    QTest::newRow("its minute comes")
        << utc(12, 8, 7, 59, 30) << 9 << 0 << none << utc(12, 8, 8, 0, 5) << true;
    QTest::newRow("asleep over the minute fires at the resume")
        << utc(12, 8, 7, 59) << 9 << 0 << utc(12, 8, 8, 20) << none << true;
    QTest::newRow("set forward over the minute a day later")
        << utc(12, 8, 7, 59) << 9 << 0 << utc(12, 9, 7, 0) << none << true;
    QTest::newRow("set forward short of the minute")
        << utc(12, 8, 7, 0) << 9 << 0 << utc(12, 8, 7, 59) << none << false;
    QTest::newRow("armed after the minute, a day passes short of it")
        << utc(12, 8, 8, 1) << 9 << 0 << none << utc(12, 9, 7, 59, 30) << false;
    QTest::newRow("armed after the minute, a resume the next day after it")
        << utc(12, 8, 8, 1) << 9 << 0 << utc(12, 9, 8, 0, 30) << none << true;
    QTest::newRow("set back before the minute waits for it")
        << utc(12, 8, 8, 10) << 9 << 5 << utc(12, 8, 7, 50) << utc(12, 8, 8, 4, 59) << false;
    QTest::newRow("set back, then the minute comes")
        << utc(12, 8, 8, 10) << 9 << 5 << utc(12, 8, 7, 50) << utc(12, 8, 8, 5) << true;
    QTest::newRow("midnight") << utc(12, 8, 22, 59, 50) << 0 << 0 << none << utc(12, 8, 23, 0, 1)
                              << true;
    QTest::newRow("in the spring-forward gap")
        << utc(3, 28, 0, 58, 30, 2027) << 2 << 30 << none << utc(3, 28, 1, 5, 0, 2027) << true;
    QTest::newRow("after the gap, not before its end")
        << utc(3, 28, 0, 58, 30, 2027) << 3 << 30 << none << utc(3, 28, 1, 5, 0, 2027) << false;
    QTest::newRow("armed in the fall-back's first hour, after its minute, fires in the second")
        << utc(10, 31, 0, 45, 0, 2027) << 2 << 30 << none << utc(10, 31, 1, 30, 30, 2027) << true;
}

void TstWallClock::timeCheck()
{
    QFETCH(QDateTime, start);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QDateTime, stepTo);
    QFETCH(QDateTime, runTo);
    QFETCH(bool, fires);
    Run r(start, redAt(hour, minute));
    QVERIFY(!r.shown(NoteColour::Red));
    if (stepTo.isValid())
        r.stepTo(stepTo);
    if (runTo.isValid())
        r.runTo(runTo);
    const QDateTime now = r.h.clock.now();
    settingsWindow().show(); // the display is current whenever it is seen
    QCOMPARE(r.time(), DateText::formatTime(now.time()));
    QCOMPARE(r.shown(NoteColour::Red), fires);
    QCOMPARE(child<QTimer>(settingsWindow(), "TmrRed1")->isActive(), !fires);
}

void TstWallClock::firesOnceThoughTheMinuteComesAgain_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("fired");
    QTest::addColumn<QDateTime>("stepTo");
    QTest::addColumn<QDateTime>("runTo");
    QTest::newRow("clock set back over the minute")
        << utc(12, 8, 8, 29) << utc(12, 8, 8, 30, 10) << utc(12, 8, 8, 0) << utc(12, 8, 8, 45);
    QTest::newRow("fall-back repeat of 2:30")
        << utc(10, 31, 0, 20, 0, 2027) << utc(10, 31, 0, 30, 10, 2027) << QDateTime()
        << utc(10, 31, 1, 45, 0, 2027);
}

void TstWallClock::firesOnceThoughTheMinuteComesAgain()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, fired);
    QFETCH(QDateTime, stepTo);
    QFETCH(QDateTime, runTo);
    Run r(start, redAt(start.toLocalTime().time().hour(), 30));
    r.runTo(fired);
    QVERIFY(r.shown(NoteColour::Red));
    hideNote(NoteColour::Red);
    if (stepTo.isValid())
        r.stepTo(stepTo);
    r.runTo(runTo);
    QVERIFY(!r.shown(NoteColour::Red));
}

void TstWallClock::dateCheckAtMidnightAndAfterASleep()
{
    Run r(utc(12, 8, 22, 59),
        { { "Date/Blue", DateText::formatDate(QDate(2026, 12, 9)) }, { "Timer/Blue", "ON" },
            { "Date/Green", "December 12, 2026" }, { "Timer/Green", "ON" } });
    r.runTo(utc(12, 8, 23, 0, 0));
    QVERIFY(r.shown(NoteColour::Blue));
    QVERIFY(!r.shown(NoteColour::Green));
    r.stepTo(utc(12, 14, 6, 0)); // asleep over the day: at or after it
    QVERIFY(r.shown(NoteColour::Green));
}

void TstWallClock::zoneChangeMovesDisplayAndChecksAtOnce()
{
    // Travelling east: 08:59 in Berlin is 16:59 in Tokyo, past the Red note's 9:00.
    Run r(utc(12, 8, 7, 59, 30), redAt(9, 0));
    QCOMPARE(r.time(), QStringLiteral("08:59"));
    const QDateTime instant = r.h.clock.now().toUTC();
    setZone("Asia/Tokyo");
    r.stepTo(instant);
    const QString tokyo = r.time();
    const bool shown = r.shown(NoteColour::Red);
    setZone("Europe/Berlin");
    QCOMPARE(tokyo, QStringLiteral("16:59"));
    QVERIFY(shown);
}

void TstWallClock::systemAlarmWakesAndHearsAContinue_data()
{
    QTest::addColumn<bool>("timerfd");
    QTest::newRow("timerfd") << true;
    QTest::newRow("fallback timer") << false;
}

void TstWallClock::systemAlarmWakesAndHearsAContinue()
{
    QFETCH(bool, timerfd);
    const int timerfdsBefore = timerfdsHeld();
    SystemWallClockAlarm alarm(timerfd);
    QCOMPARE(timerfdsHeld() - timerfdsBefore, timerfd ? 1 : 0);
    QSignalSpy woke(&alarm, &WallClockAlarm::woke), changed(&alarm, &WallClockAlarm::clockChanged);
    const qint64 due = QDateTime::currentMSecsSinceEpoch() + 150;
    alarm.wakeAt(due);
    QVERIFY(woke.wait(2000));
    QVERIFY(QDateTime::currentMSecsSinceEpoch() >= due);
    // A continue after a stop may follow a sleep or a clock change: look again.
    std::raise(SIGCONT);
    QVERIFY(changed.wait(2000));
    QCOMPARE(woke.count(), 1);
}

QTEST_MAIN(TstWallClock)
#include "tst_wallclock.moc"
