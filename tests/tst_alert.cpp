// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"
#include "windows.h"

#include "notes/alert.h"
#include "notes/notes.h"
#include "notes/notewindow.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

namespace {

// The alert a note made for itself.
SpeakerAlert& alertOf(NoteWindow& note) { return *note.findChild<SpeakerAlert*>(); }

QStringList onePair()
{
    return {
        "out 43 b6", "out 42 fe", "out 42 00", "in 61 -> 2c", "out 61 2f", // high tone on
        "in 61 -> 2f", "out 61 2c", // high tone off
        "out 43 b6", "out 42 c8", "out 42 01", "in 61 -> 2c", "out 61 2f", // low tone on
        "in 61 -> 2f", "out 61 2c", // low tone off
    };
}

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TstAlert : public QObject {
    Q_OBJECT
private slots:
    void portTrafficOfTheWholeAlert();
    void divisors_data();
    void divisors();
    void badFrequencyTouchesNothing();
    void eachToneWaitsForItsOwnTimer();
    void aNoteCreatedDuringAToneAlertsInsideTheWait();
    void theWaitHandlesEventsAndSleeps();
    void silenceSwitchesOnlyTheSpeakerOff();
};

void TstAlert::portTrafficOfTheWholeAlert()
{
    RecordingStore store;
    RecordingPorts ports;
    ports.control = 0x2C; // bits 2 to 7 must come back as they were read
    NoteWindow note(NoteColour::Red, store, ports);
    alertOf(note).PlayAlert();
    QStringList expected;
    for (int i = 0; i < 4; ++i)
        expected << onePair();
    QCOMPARE(ports.log, expected);
    QCOMPARE(ports.control, qint16(0x2C)); // speaker off again
}

void TstAlert::divisors_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("divisor");
    QTest::newRow("high tone") << 4703.94 << true << 254;
    QTest::newRow("low tone") << 2615.0 << true << 456;
    QTest::newRow("1 kHz") << 1000.0 << true << 1193;
    QTest::newRow("36.42 Hz") << 36.42 << true << 32764;
    QTest::newRow("quotient 32767.4") << 1193280.0 / 32767.4 << true << 32767;
    // 32767.5 rounds half to even, to 32768, which no longer fits.
    QTest::newRow("quotient 32767.5") << 1193280.0 / 32767.5 << false << 0;
    QTest::newRow("36.4 Hz") << 36.4 << false << 0;
    QTest::newRow("zero") << 0.0 << false << 0;
    QTest::newRow("half goes down to even") << 1193280.0 / 2.5 << true << 2;
    QTest::newRow("half goes up to even") << 1193280.0 / 3.5 << true << 4;
    QTest::newRow("negative quotient that fits") << -1193.28 << true << -1000;
    QTest::newRow("quotient -32768.5 rounds to -32768") << 1193280.0 / -32768.5 << true << -32768;
    QTest::newRow("far below -32768") << -1.0 << false << 0;
}

void TstAlert::divisors()
{
    QFETCH(double, frequency);
    QFETCH(bool, fits);
    QFETCH(int, divisor);
    const auto d = Alert::divisorFor(frequency);
    QCOMPARE(d.has_value(), fits);
    if (fits)
        QCOMPARE(int(*d), divisor);
}

void TstAlert::badFrequencyTouchesNothing()
{
    RecordingStore store;
    RecordingPorts ports;
    NoteWindow note(NoteColour::Green, store, ports);
    auto* sound = note.findChild<QTimer*>(QStringLiteral("TimerSound"));
    for (double f : { 0.0, 10.0, 36.4 })
        alertOf(note).PlayTone(f, 10);
    QVERIFY(ports.log.isEmpty());
    QVERIFY(!sound->isActive());
    QCOMPARE(sound->interval(), 0);
    alertOf(note).PlayTone(1000.0, 3); // a good one still plays afterwards
    QCOMPARE(ports.tones(), 1);
    QCOMPARE(sound->interval(), 3);
}

void TstAlert::eachToneWaitsForItsOwnTimer()
{
    RecordingStore store;
    RecordingPorts ports;
    NoteWindow note(NoteColour::Blue, store, ports);
    auto* sound = note.findChild<QTimer*>(QStringLiteral("TimerSound"));
    QList<int> intervals;
    QList<bool> active;
    ports.onOut = [&](qint16 port, qint16 value) {
        // When a tone is switched off, its timer has ticked and stopped.
        if (port == 0x61 && (value & 3) == 0) {
            intervals << sound->interval();
            active << sound->isActive();
        }
    };
    QElapsedTimer clock;
    clock.start();
    alertOf(note).PlayAlert();
    QCOMPARE(intervals, QList<int>(8, 10));
    QCOMPARE(active, QList<bool>(8, false));
    QVERIFY(clock.elapsed() >= 8 * 10 - 8); // each tone lasts its interval (timer granularity 1 ms)
}

void TstAlert::aNoteCreatedDuringAToneAlertsInsideTheWait()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    QStringList order;
    connect(&notes, &Notes::created, [&](NoteColour c) { order << "created " + colourWord(c); });
    int tones = 0;
    ports.onOut = [&](qint16 port, qint16 value) {
        if (port == 0x61 && (value & 3) == 3) {
            ++tones;
            order << QStringLiteral("tone %1").arg(tones);
            if (tones == 1) // during Red's first tone, something shows Green
                QTimer::singleShot(0, [&] { notes.Show(NoteColour::Green); });
        }
    };
    notes.Show(NoteColour::Red);
    QStringList expected { "created Red", "tone 1", "created Green" };
    for (int i = 2; i <= 16; ++i)
        expected << QStringLiteral("tone %1").arg(i);
    QCOMPARE(order, expected);
    // Green's eight tones all come inside Red's first one.
    QVERIFY(noteWindow(NoteColour::Green)->isVisible());
    QVERIFY(noteWindow(NoteColour::Red)->isVisible());
    QCOMPARE(ports.tones(), 16);
}

void TstAlert::theWaitHandlesEventsAndSleeps()
{
    RecordingStore store;
    RecordingPorts ports;
    NoteWindow note(NoteColour::Red, store, ports);
    int ticks = 0;
    QTimer other;
    other.setInterval(1);
    connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start();
    alertOf(note).PlayAlert();
    other.stop();
    QVERIFY(ticks > 0); // other handlers ran during the alert

    // Without other events the wait sleeps: far less CPU time than wall time.
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    for (int i = 0; i < 5; ++i)
        alertOf(note).PlayAlert();
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = wall.elapsed() / 1000.0;
    qInfo("5 alerts: %.0f ms wall, %.1f ms CPU", elapsed * 1000, cpu * 1000);
    QVERIFY2(cpu < elapsed * 0.5, "the alert's wait spins instead of sleeping");
}

QTEST_MAIN(TstAlert)
void TstAlert::silenceSwitchesOnlyTheSpeakerOff()
{
    // What Close does while a tone may sound.
    RecordingPorts ports;
    ports.control = 0x2F;
    Alert::silence(ports);
    QCOMPARE(ports.log, QStringList({ "in 61 -> 2f", "out 61 2c" }));
}

#include "tst_alert.moc"
