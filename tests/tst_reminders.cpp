// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "harness.h"

#include "notes/notes.h"
#include "notes/notewindow.h"
#include "schedule/datetext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// Sets a row's time through its scroll bars, as a person would, from their design values.
void setTime(const RowControls& row, int hour, int minute)
{
    while (row.VScrollHour->value() != hour)
        row.VScrollHour->triggerAction(row.VScrollHour->value() < hour
                ? QAbstractSlider::SliderSingleStepAdd
                : QAbstractSlider::SliderSingleStepSub);
    row.VScrollMin->triggerAction(
        QAbstractSlider::SliderSingleStepSub); // 59 -> 58, fills the field
    while (row.VScrollMin->value() != minute)
        row.VScrollMin->triggerAction(row.VScrollMin->value() < minute
                ? QAbstractSlider::SliderSingleStepAdd
                : QAbstractSlider::SliderSingleStepSub);
}

struct Run {
    Harness h;
    Tackpad* app = nullptr;

    void start() { app = &h.start(); }
    // One clock tick and one tick of every armed check, at the given time.
    void tickAt(const QDateTime& when)
    {
        h.clock.current = when;
        tickAll(settingsWindow());
    }
    bool shown(NoteColour c) const
    {
        NoteWindow* w = noteWindow(c);
        return w && w->isVisible();
    }
};

QDateTime at(int hour, int minute, int second = 0, int day = 8)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

// The program under another locale, as after a change of the desktop's language.
struct ProgramLocale {
    QLocale saved;
    explicit ProgramLocale(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~ProgramLocale() { QLocale::setDefault(saved); }
};

QStringList scheduleLog;
void keepScheduleLog(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QLatin1String(context.category) == QLatin1String("tackpad.schedule"))
        scheduleLog << message;
}

} // namespace

class TstReminders : public QObject {
    Q_OBJECT
private slots:
    void startUpGathersNoOtherLocalesMonths(); // first: they are gathered once per process
    void clockDisplayFollowsTheClock();
    void clockSetBackOrForwardShowsAtTheNextTick();
    void dateCheck_data();
    void dateCheck();
    void dateInThePastFiresRightAfterEveryStart();
    void dateTomorrowFiresJustAfterMidnight();
    void timeCheckFiresInItsMinuteOnce();
    void midnightAndFullHoursForEveryNote_data();
    void midnightAndFullHoursForEveryNote();
    void armedAfterTheMinuteWaitsForTheNextDay();
    void bothSwitchesFireIndependently();
    void clearedSwitchStillFiresInThisRun();
    void emptyPresetFieldsDisarmSilently();
    void unreadableTextsAreNotDue_data();
    void unreadableTextsAreNotDue();
    void readersAcceptEnglishAfterALanguageChange();
    void datesOfOtherLocalesRead_data();
    void datesOfOtherLocalesRead();
    void dateWrittenInAnotherLanguageIsDue_data();
    void dateWrittenInAnotherLanguageIsDue();
    void tickDuringTheAlertCreatesNoSecondWindow();
    void realTimersFireWithinATick();
};

void TstReminders::startUpGathersNoOtherLocalesMonths()
{
    QLoggingCategory::setFilterRules(QStringLiteral("tackpad.schedule.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(keepScheduleLog);
    {
        ProgramLocale german(QStringLiteral("de_DE"));
        Run r;
        r.h.store.set("Date/Red", DateText::formatDate(QDate(2026, 12, 9)));
        r.h.store.set("Timer/Red", "ON");
        r.start();
        r.tickAt(at(10, 0));
        DateText::readDate(QStringLiteral("December 08, 2026"));
    }
    const QStringList atStart = scheduleLog;
    DateText::readDate(QStringLiteral("Dezember 08, 2026"));
    DateText::readDate(QStringLiteral("d\u00e9cembre 08, 2026"));
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    QVERIFY2(atStart.isEmpty(), qPrintable(atStart.join(u'\n')));
    QCOMPARE(scheduleLog.filter(QStringLiteral("month names of")).size(), 1);
}

void TstReminders::clockDisplayFollowsTheClock()
{
    Run r;
    r.h.clock.current = at(23, 59, 59, 31);
    r.start();
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysDate")->text(),
        DateText::formatDate(QDate(2026, 12, 31)));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysTime")->text(),
        QStringLiteral("23:59")); // seconds dropped
    r.tickAt(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysDate")->text(),
        DateText::formatDate(QDate(2027, 1, 1)));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysTime")->text(), QStringLiteral("00:00"));
    QCOMPARE(DateText::formatTime(QTime(9, 5)), QStringLiteral("09:05"));
    QCOMPARE(QLocale::c().toString(QDate(2004, 7, 5), QStringLiteral("MMMM dd, yyyy")),
        QStringLiteral("July 05, 2004"));
}

void TstReminders::clockSetBackOrForwardShowsAtTheNextTick()
{
    Run r;
    r.h.clock.current = at(10, 5, 30);
    r.start();
    r.tickAt(at(10, 5, 59));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysTime")->text(), QStringLiteral("10:05"));
    r.tickAt(at(9, 5, 59)); // set back an hour
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysTime")->text(), QStringLiteral("09:05"));
    r.tickAt(at(9, 5, 59, 20)); // forward twelve days
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysDate")->text(),
        DateText::formatDate(QDate(2026, 12, 20)));
    r.tickAt(at(9, 6, 0, 20));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysTime")->text(), QStringLiteral("09:06"));
}

void TstReminders::dateCheck_data()
{
    QTest::addColumn<QDate>("preset");
    QTest::addColumn<bool>("fires");
    QTest::newRow("today fires") << QDate(2026, 12, 8) << true;
    QTest::newRow("yesterday fires") << QDate(2026, 12, 7) << true;
    QTest::newRow("years ago fires") << QDate(2004, 7, 5) << true;
    QTest::newRow("tomorrow waits") << QDate(2026, 12, 9) << false;
    QTest::newRow("next year waits") << QDate(2027, 1, 1) << false;
}

void TstReminders::dateCheck()
{
    QFETCH(QDate, preset);
    QFETCH(bool, fires);
    Run r;
    r.h.clock.current = at(10, 0);
    r.h.store.set("Date/Green", DateText::formatDate(preset));
    r.start();
    const RowControls green = rowOf(settingsWindow(), NoteColour::Green);
    r.h.store.calls.clear();
    green.chkDate->click();
    r.tickAt(at(10, 0, 1));
    QCOMPARE(r.shown(NoteColour::Green), fires);
    QCOMPARE(green.tmrDate->isActive(), !fires);
    QVERIFY(green.chkDate->isChecked()); // firing leaves the switch set
    QCOMPARE(r.h.store.changes(), QStringList { "Write Timer/Green=ON" });
}

void TstReminders::dateInThePastFiresRightAfterEveryStart()
{
    RecordingStore kept;
    for (int run = 0; run < 2; ++run) {
        Run r;
        r.h.store.entries = kept.entries;
        if (run == 0) {
            r.h.store.set("Date/Red", DateText::formatDate(QDate(2026, 1, 1)));
            r.h.store.set("Timer/Red", "ON");
        }
        r.start();
        QVERIFY(child<QTimer>(settingsWindow(), "tmrRed")->isActive());
        r.tickAt(at(10, 0));
        QVERIFY(r.shown(NoteColour::Red));
        QVERIFY(!child<QTimer>(settingsWindow(), "tmrRed")->isActive());
        kept.entries = r.h.store.entries;
    }
}

void TstReminders::dateTomorrowFiresJustAfterMidnight()
{
    Run r;
    r.h.clock.current = at(23, 58);
    r.h.store.set("Date/Blue", DateText::formatDate(QDate(2026, 12, 9)));
    r.h.store.set("Timer/Blue", "ON");
    r.start();
    r.tickAt(at(23, 59, 59));
    QVERIFY(!r.shown(NoteColour::Blue));
    QVERIFY(child<QTimer>(settingsWindow(), "TmrBlue")->isActive());
    r.tickAt(QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0, 200)));
    QVERIFY(r.shown(NoteColour::Blue));
    QVERIFY(!child<QTimer>(settingsWindow(), "TmrBlue")->isActive());
}

void TstReminders::timeCheckFiresInItsMinuteOnce()
{
    Run r;
    r.h.clock.current = at(9, 0);
    r.start();
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    setTime(red, 9, 5);
    QCOMPARE(red.txtHour->text(), QStringLiteral("9"));
    QCOMPARE(red.txtMin->text(), QStringLiteral("5"));
    red.chkTime->click();
    r.tickAt(at(9, 4, 59));
    QVERIFY(!noteWindow(NoteColour::Red));
    r.tickAt(at(9, 5, 0));
    QVERIFY(r.shown(NoteColour::Red));
    QVERIFY(!red.tmrTime->isActive());
    hideNote(NoteColour::Red);
    r.tickAt(at(9, 5, 30));
    r.tickAt(at(9, 6, 0));
    QVERIFY(!r.shown(NoteColour::Red));
    QCOMPARE(r.h.ports.tones(), 8);
}

void TstReminders::midnightAndFullHoursForEveryNote_data()
{
    QTest::addColumn<NoteColour>("colour");
    QTest::addColumn<int>("hour");
    for (NoteColour c : kAllNotes) {
        QTest::addRow("%s at 0:0", qPrintable(colourWord(c))) << c << 0;
        QTest::addRow("%s at 14:0", qPrintable(colourWord(c))) << c << 14;
    }
}

void TstReminders::midnightAndFullHoursForEveryNote()
{
    QFETCH(NoteColour, colour);
    QFETCH(int, hour);
    Run r;
    r.h.clock.current = at(hour == 0 ? 23 : 13, 59, 0, 7);
    r.h.store.set("Hour/" + colourWord(colour), QString::number(hour));
    r.h.store.set("Min/" + colourWord(colour), "0");
    r.h.store.set("Timer/" + colourWord(colour) + "1", "ON");
    r.start();
    r.tickAt(at(hour == 0 ? 23 : 13, 59, 59, 7));
    QVERIFY(!r.shown(colour));
    r.tickAt(at(hour, 0, 0, 8));
    QVERIFY(r.shown(colour));
}

void TstReminders::armedAfterTheMinuteWaitsForTheNextDay()
{
    Run r;
    r.h.clock.current = at(10, 6);
    r.h.store.set("Hour/Green", "10");
    r.h.store.set("Min/Green", "5");
    r.start();
    child<QCheckBox>(settingsWindow(), "chkGreen1")->click();
    for (const QDateTime& t : { at(10, 6, 30), at(23, 59), at(0, 0, 0, 9), at(10, 4, 59, 9) })
        r.tickAt(t);
    QVERIFY(!noteWindow(NoteColour::Green));
    QVERIFY(child<QTimer>(settingsWindow(), "TmrGreen1")->isActive());
    r.tickAt(at(10, 5, 0, 9));
    QVERIFY(r.shown(NoteColour::Green));
}

void TstReminders::bothSwitchesFireIndependently()
{
    Run r;
    r.h.clock.current = at(8, 0);
    r.h.store.set("Date/Red", DateText::formatDate(QDate(2026, 12, 8)));
    r.h.store.set("Timer/Red", "ON");
    r.h.store.set("Hour/Red", "8");
    r.h.store.set("Min/Red", "30");
    r.h.store.set("Timer/Red1", "ON");
    r.start();
    r.tickAt(at(8, 0, 1));
    QVERIFY(r.shown(NoteColour::Red));
    hideNote(NoteColour::Red);
    r.tickAt(at(8, 29));
    QVERIFY(!r.shown(NoteColour::Red));
    r.tickAt(at(8, 30));
    QVERIFY(r.shown(NoteColour::Red));
    QCOMPARE(r.h.ports.tones(), 8); // the second pop-up is silent
}

void TstReminders::clearedSwitchStillFiresInThisRun()
{
    RecordingStore kept;
    {
        Run r;
        r.h.clock.current = at(11, 0);
        r.h.store.set("Hour/Blue", "11");
        r.h.store.set("Min/Blue", "30");
        r.start();
        child<QCheckBox>(settingsWindow(), "chkBlue1")->click();
        child<QCheckBox>(settingsWindow(), "chkBlue1")->click(); // cleared while waiting
        QCOMPARE(r.h.store.entries.value("Timer/Blue1"), QStringLiteral("OFF"));
        r.tickAt(at(11, 30));
        QVERIFY(r.shown(NoteColour::Blue));
        kept.entries = r.h.store.entries;
    }
    Run next;
    next.h.store.entries = kept.entries;
    next.h.clock.current = at(11, 29, 0, 9);
    next.start();
    QVERIFY(!child<QTimer>(settingsWindow(), "TmrBlue1")->isActive());
    next.tickAt(at(11, 30, 0, 9));
    QVERIFY(!noteWindow(NoteColour::Blue));
}

void TstReminders::emptyPresetFieldsDisarmSilently()
{
    Run r;
    r.h.store.set("Timer/Green", "ON"); // no date stored
    r.h.store.set("Timer/Red1", "ON");
    r.h.store.set("Hour/Red", "10"); // no minute stored
    r.start();
    r.h.store.calls.clear();
    r.tickAt(at(10, 0));
    QVERIFY(!child<QTimer>(settingsWindow(), "tmrGreen")->isActive());
    QVERIFY(!child<QTimer>(settingsWindow(), "TmrRed1")->isActive());
    // The switch is left alone.
    QVERIFY(child<QCheckBox>(settingsWindow(), "chkGreen")->isChecked());
    QVERIFY(!noteWindow(NoteColour::Green));
    QVERIFY(!noteWindow(NoteColour::Red));
    QVERIFY(r.h.store.changes().isEmpty());
}

void TstReminders::unreadableTextsAreNotDue_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::newRow("hour 99") << ""
                             << "99"
                             << "0";
    QTest::newRow("hour -1") << ""
                             << "-1"
                             << "0";
    QTest::newRow("hour abc") << ""
                              << "abc"
                              << "0";
    QTest::newRow("minute 60") << ""
                               << "10"
                               << "60";
    QTest::newRow("minute with blank") << ""
                                       << "10"
                                       << " 0";
    QTest::newRow("date in another form") << "2026-12-08"
                                          << ""
                                          << "";
    QTest::newRow("date by no locale's month") << "Brumaire 08, 2026"
                                               << ""
                                               << "";
    QTest::newRow("date garbage") << "\u0001\u00ff,,,"
                                  << ""
                                  << "";
}

void TstReminders::unreadableTextsAreNotDue()
{
    QFETCH(QString, date);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    Run r;
    r.h.clock.current = at(10, 0);
    const bool isDate = !date.isEmpty();
    if (isDate) {
        r.h.store.set("Date/Red", date);
        r.h.store.set("Timer/Red", "ON");
    } else {
        r.h.store.set("Hour/Red", hour);
        r.h.store.set("Min/Red", minute);
        r.h.store.set("Timer/Red1", "ON");
    }
    r.start();
    for (int m = 0; m < 3; ++m)
        r.tickAt(at(10, m));
    QVERIFY(!noteWindow(NoteColour::Red));
    QVERIFY(isDate ? child<QTimer>(settingsWindow(), "tmrRed")->isActive()
                   : child<QTimer>(settingsWindow(), "TmrRed1")->isActive());
}

void TstReminders::readersAcceptEnglishAfterALanguageChange()
{
    QCOMPARE(DateText::readDate(QStringLiteral("July 05, 2004")), QDate(2004, 7, 5));
    QCOMPARE(DateText::readDate(QStringLiteral("July 5, 2004")), QDate(2004, 7, 5));
    QCOMPARE(DateText::readDate(DateText::formatDate(QDate(2031, 2, 28))), QDate(2031, 2, 28));
    QVERIFY(!DateText::readDate(QStringLiteral("Jul 05 2004")));
    QVERIFY(!DateText::readDate(QString()));
    QCOMPARE(DateText::readTime(QStringLiteral("7:5")), QTime(7, 5));
    QCOMPARE(DateText::readTime(QStringLiteral("07:05")), QTime(7, 5));
    QCOMPARE(DateText::readTime(QStringLiteral("0:0")), QTime(0, 0));
    for (const char* bad : { "24:00", "7:", ":5", "7:5:0", "7:123", "+7:5", "7.5" })
        QVERIFY2(!DateText::readTime(QLatin1String(bad)), bad);
    QCOMPARE(DateText::readTime(u"9", u"05"), QTime(9, 5));
    QVERIFY(!DateText::readTime(u"9:0", u"5"));
    QVERIFY(!DateText::readTime(u"9", u"0:5"));
}

void TstReminders::datesOfOtherLocalesRead_data()
{
    QTest::addColumn<QString>("program"); // the program's locale
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("read");
    const QDate d(2026, 12, 8);
    QTest::newRow("German: its own") << "de_DE"
                                     << "Dezember 08, 2026" << d;
    QTest::newRow("German: French") << "de_DE"
                                    << "d\u00e9cembre 08, 2026" << d;
    QTest::newRow("German: French in capitals") << "de_DE"
                                                << "D\u00c9CEMBRE 08, 2026" << d;
    QTest::newRow("German: Polish standalone") << "de_DE"
                                               << "grudzie\u0144 08, 2026" << d;
    QTest::newRow("German: Greek genitive")
        << "de_DE"
        << "\u0394\u03b5\u03ba\u03b5\u03bc\u03b2\u03c1\u03af\u03bf\u03c5 08, 2026" << d;
    QTest::newRow("French: German") << "fr_FR"
                                    << "Dezember 08, 2026" << d;
    QTest::newRow("French: Russian genitive")
        << "fr_FR"
        << "\u0434\u0435\u043a\u0430\u0431\u0440\u044f 08, 2026" << d;
    QTest::newRow("French: Japanese in full width")
        << "fr_FR"
        << "\uff11\uff12\u6708 \uff10\uff18\uff0c\uff12\uff10\uff12\uff16" << d;
    QTest::newRow("French: Egyptian Arabic digits")
        << "fr_FR"
        << "\u062f\u064a\u0633\u0645\u0628\u0631 \u0660\u0668, \u0662\u0660\u0662\u0666" << d;
    QTest::newRow("English: German") << "C"
                                     << "Dezember 08, 2026" << d;
    QTest::newRow("English: French, accent apart") << "C"
                                                   << "de\u0301cembre 08, 2026" << d;
    QTest::newRow("English: Vietnamese of two words") << "C"
                                                      << "th\u00e1ng 12 08, 2026" << d;
    // "listopad(a)" is November in Czech and Polish, October in Croatian.
    QTest::newRow("Czech: its own listopad") << "cs_CZ"
                                             << "listopad 08, 2026" << QDate(2026, 11, 8);
    QTest::newRow("English: listopada, the earlier month")
        << "C"
        << "listopada 08, 2026" << QDate(2026, 10, 8);
    QTest::newRow("German: no locale's month") << "de_DE"
                                               << "Brumaire 08, 2026" << QDate();
}

void TstReminders::datesOfOtherLocalesRead()
{
    QFETCH(QString, program);
    QFETCH(QString, text);
    QFETCH(QDate, read);
    ProgramLocale locale(program);
    QCOMPARE(DateText::readDate(text).value_or(QDate()), read);
}

void TstReminders::dateWrittenInAnotherLanguageIsDue_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QDate>("preset");
    QTest::addColumn<bool>("fires");
    QTest::newRow("German read in French, today") << "de_DE"
                                                  << "fr_FR" << QDate(2026, 12, 8) << true;
    QTest::newRow("French read in English, yesterday") << "fr_FR"
                                                       << "C" << QDate(2026, 12, 7) << true;
    QTest::newRow("English read in German, tomorrow") << "C"
                                                      << "de_DE" << QDate(2026, 12, 9) << false;
}

void TstReminders::dateWrittenInAnotherLanguageIsDue()
{
    QFETCH(QString, written);
    QFETCH(QString, program);
    QFETCH(QDate, preset);
    QFETCH(bool, fires);
    ProgramLocale locale(program);
    Run r;
    r.h.clock.current = at(10, 0);
    r.h.store.set("Date/Green", QLocale(written).toString(preset, QStringLiteral("MMMM dd, yyyy")));
    r.h.store.set("Timer/Green", "ON");
    r.start();
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysDate")->text(),
        QLocale(program).toString(QDate(2026, 12, 8), QStringLiteral("MMMM dd, yyyy")));
    r.tickAt(at(10, 0, 1));
    QCOMPARE(r.shown(NoteColour::Green), fires);
    QCOMPARE(child<QTimer>(settingsWindow(), "tmrGreen")->isActive(), !fires);
}

void TstReminders::tickDuringTheAlertCreatesNoSecondWindow()
{
    Run r;
    r.h.clock.current = at(12, 0);
    r.h.store.set("Date/Blue", DateText::formatDate(QDate(2026, 12, 1)));
    r.h.store.set("Timer/Blue", "ON");
    r.start();
    QSignalSpy created(&partOf<Notes>(*r.app), &Notes::created);
    // While the note plays its alert, its own check ticks again and finds it due.
    int nested = 0;
    r.h.ports.onOut = [&](qint16 port, qint16) {
        if (port == 0x43 && nested++ < 3)
            tick(rowOf(settingsWindow(), NoteColour::Blue).tmrDate);
    };
    tick(rowOf(settingsWindow(), NoteColour::Blue).tmrDate);
    QCOMPARE(created.count(), 1);
    QCOMPARE(r.h.ports.tones(), 8);
    QVERIFY(r.shown(NoteColour::Blue));
    QVERIFY(!child<QTimer>(settingsWindow(), "TmrBlue")->isActive());
}

void TstReminders::realTimersFireWithinATick()
{
    Run r;
    r.h.clock.current = at(15, 20, 10);
    r.h.store.set("Hour/Green", "15");
    r.h.store.set("Min/Green", "20");
    r.start();
    child<QCheckBox>(settingsWindow(), "chkGreen1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(r.shown(NoteColour::Green), 2000);
    QVERIFY(!child<QTimer>(settingsWindow(), "TmrGreen1")->isActive());
}

QTEST_MAIN(TstReminders)
#include "tst_reminders.moc"
