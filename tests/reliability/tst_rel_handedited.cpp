// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files as people and accidents leave them: the whole program starts on each through
// the real store, runs a day of check ticks, and must restore exactly what the file says, show
// only what is due, leave the file as it was, and not crash.
#include "controls.h"
#include "relsupport.h"

#include "platform/settingsfile/iniformat.h"
#include "text/notetextbox.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Expect {
    QString date {}, hour {}, min {}; // the Red row's fields after start-up
    bool dateOn = false, timeOn = false, startOn = false; // its switches
    QString note {}; // the Red note's text, when it is shown at start
    bool due = false; // a check shows the Red note during the ticks
    bool dateArmed = false, timeArmed = false; // after the ticks
};

QByteArray section(const char* name, const QByteArray& value)
{
    return QByteArray("[") + name + "]\nRed=" + value + "\n";
}

// A text as a value of the file: in quotes when it has blanks at an end, which would otherwise
// be no part of it.
QByteArray quotedIfNeeded(const char* text)
{
    const QByteArray t(text);
    return t.trimmed() == t ? t : '"' + t + '"';
}

QByteArray garbage(quint32 seed, int size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QDateTime at(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute));
}

} // namespace

Q_DECLARE_METATYPE(Expect)

class TstRelHandEdited : public QObject {
    Q_OBJECT
private slots:
    void startsAsTheFileSays_data();
    void startsAsTheFileSays();
    void garbageStartsCleanly_data();
    void garbageStartsCleanly();
};

void TstRelHandEdited::startsAsTheFileSays_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Expect>("expect");
    const auto on = [](Expect e) {
        e.startOn = true;
        return e;
    };

    // Switches: on only when the text is exactly "ON" (quotes and escapes are the file's own
    // notation; blanks outside quotes are no part of a value).
    for (const auto& [name, value, isOn] :
        std::initializer_list<std::tuple<const char*, QByteArray, bool>> { { "ON", "ON", true },
            { "on", "on", false }, { "On", "On", false }, { "oN", "oN", false },
            { "quoted blank before", "\" ON\"", false }, { "quoted blank after", "\"ON \"", false },
            { "quoted ON", "\"ON\"", true }, { "unquoted blanks around", "  ON  ", true },
            { "escaped N", "O\\x4e", true }, { "typed text", "@String(ON)", true },
            { "OFF", "OFF", false }, { "ONE", "ONE", false }, { "empty", "", false },
            { "tab after", "\"ON\t\"", false }, { "NUL after", QByteArray("ON\0", 3), false } }) {
        Expect e;
        e.dateOn = e.timeOn = e.startOn = isOn;
        e.note = QString();
        QTest::addRow("switch %s", name)
            << (section("Always", value) + "[Timer]\nRed=" + value + "\nRed1=" + value + "\n") << e;
    }
    {
        Expect e;
        e.startOn = true;
        QTest::newRow("switch ON, CRLF lines") << QByteArray("[Always]\r\nRed=ON\r\n") << e;
    }

    // Repeated sections and keys: the last entry wins, as in QSettings.
    QTest::newRow("duplicates") << QByteArray("[Always]\nRed=OFF\n[Note]\nRed=first\n[Always]\n"
                                              "Red=ON\n[Note]\nRed=second\nRed=third\n")
                                << on(Expect { .note = QStringLiteral("third") });
    QTest::newRow("invalid UTF-8")
        << (section("Always", "ON") + section("Note", "caf\xe9\xff\xfe\xc3(\xed\xa0\x80 end"))
        << on(Expect { .note = QString::fromUtf8("caf\xe9\xff\xfe\xc3(\xed\xa0\x80 end") });
    QTest::newRow("escapes and blanks")
        << (section("Always", "ON") + section("Note", "\"  two\\n  lines  \""))
        << on(Expect { .note = QStringLiteral("  two\n  lines  ") });
    QTest::newRow("10 MB junk line") << ("[Junk]\n" + QByteArray(10 << 20, 'j') + "\n"
        + section("Always", "ON") + section("Note", "small"))
                                     << on(Expect { .note = QStringLiteral("small") });
    QTest::newRow("10 MB value of another key") << ("[Junk]\nbig=" + QByteArray(10 << 20, 'v')
        + "\n" + section("Always", "ON") + section("Note", "small"))
                                                << on(Expect { .note = QStringLiteral("small") });
    QTest::newRow("64 KB one-line note")
        << (section("Always", "ON") + section("Note", QByteArray(1 << 16, 'n')))
        << on(Expect { .note = QString(1 << 16, u'n') });
    {
        QByteArray lines;
        for (int i = 0; i < (1 << 20) / 64; ++i)
            lines += QByteArray(63, 'a' + i % 26) + "\\n";
        QTest::newRow("1 MB note in lines")
            << (section("Always", "ON") + section("Note", lines))
            << on(Expect { .note = QString::fromLatin1(lines).replace(
                               QLatin1String("\\n"), QLatin1String("\n")) });
    }
    QTest::newRow("10 MB line without an end")
        << (section("Always", "ON") + section("Note", "small") + QByteArray(10 << 20, '#'))
        << on(Expect { .note = QStringLiteral("small") });

    // Dates that do not read are not due: the check stays armed and nothing is shown. Month names
    // of other languages read. The clock runs from 06:59 on December 8, 2026 into the next day.
    for (const auto& [text, due] : std::initializer_list<std::pair<const char*, bool>> {
             { "December 08, 2026", true }, { "December 8, 2026", true }, { "July 05, 2004", true },
             { "December 10, 2026", false }, { "2026-12-08", false }, { "08.12.2026", false },
             { "12/08/2026", false }, { "Dezember 08, 2026", true },
             { "d\xc3\xa9"
               "cembre 08, 2026",
                 true },
             { "December 08 2026", false }, { "December 32, 2026", false },
             { "February 30, 2026", false }, { "   ", false }, { "December", false },
             { "\xe5\x8d\x81\xe4\xba\x8c\xe6\x9c\x88 08, 2026", true },
             { "Brumaire 08, 2026", false } }) {
        Expect e;
        e.date = QString::fromUtf8(text);
        e.dateOn = true;
        e.due = due;
        e.dateArmed = !due;
        QTest::addRow("date '%s'", text)
            << (section("Date", quotedIfNeeded(text)) + section("Timer", "ON")) << e;
    }
    {
        Expect e;
        e.dateOn = true; // restored, then the empty field disarms the check at its first tick
        QTest::newRow("date empty") << (section("Date", "") + section("Timer", "ON")) << e;
    }

    // Hours and minutes: one or two ASCII digits in range, or not due.
    for (const auto& [hour, min, due] :
        std::initializer_list<std::tuple<const char*, const char*, bool>> { { "07", "00", true },
            { "7", "5", true }, { "7", "05", true }, { "99", "00", false }, { "-1", "00", false },
            { "abc", "00", false }, { "7", "60", false }, { " 7", "00", false },
            { "7 ", "00", false }, { "007", "0", false }, { "7", "-0", false },
            { "+7", "00", false }, { "\xd9\xa7", "00", false }, { "24", "00", false },
            { "7", "5.0", false } }) {
        Expect e;
        e.hour = QString::fromUtf8(hour);
        e.min = QString::fromUtf8(min);
        e.timeOn = true;
        e.due = due;
        e.timeArmed = !due;
        QTest::addRow("time '%s':'%s'", hour, min) << (section("Hour", quotedIfNeeded(hour))
            + section("Min", quotedIfNeeded(min)) + "[Timer]\nRed1=ON\n")
                                                   << e;
    }
    for (const auto& [hour, min] : std::initializer_list<std::pair<const char*, const char*>> {
             { "", "00" }, { "7", "" }, { "", "" } }) {
        Expect e;
        e.hour = QString::fromUtf8(hour);
        e.min = QString::fromUtf8(min);
        e.timeOn = true; // restored, then an empty field disarms the check silently
        QTest::addRow("time empty '%s':'%s'", hour, min)
            << (section("Hour", hour) + section("Min", min) + "[Timer]\nRed1=ON\n") << e;
    }
}

void TstRelHandEdited::startsAsTheFileSays()
{
    QFETCH(QByteArray, file);
    QFETCH(Expect, expect);
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/edited-XXXXXX"));
    const QString ini = dir.filePath(QStringLiteral("Tackpad.ini"));
    QVERIFY(writeFile(ini, file));

    RealStoreApp a(ini);
    a.clock.current = at(8, 6, 59);
    a.app->Form_Load();
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    QCOMPARE(red.txtDate->text(), expect.date);
    QCOMPARE(red.txtHour->text(), expect.hour);
    QCOMPARE(red.txtMin->text(), expect.min);
    QCOMPARE(red.chkDate->isChecked(), expect.dateOn);
    QCOMPARE(red.chkTime->isChecked(), expect.timeOn);
    QCOMPARE(red.chkStart->isChecked(), expect.startOn);
    NoteWindow* note = noteWindow(NoteColour::Red);
    QCOMPARE(note != nullptr, expect.startOn);
    if (note) {
        QVERIFY(note->isVisible());
        QVERIFY(qobject_cast<NoteTextBox*>(noteTextBox(note))->noteText() == expect.note);
    }
    for (NoteColour c : { NoteColour::Blue, NoteColour::Green })
        QVERIFY(!noteWindow(c));

    for (const QDateTime& when :
        { at(8, 6, 59), at(8, 7, 0), at(8, 7, 5), at(8, 9, 5), at(8, 23, 59), at(9, 0, 0) }) {
        a.clock.current = when;
        tickAll(settingsWindow());
    }
    if (!expect.startOn) {
        note = noteWindow(NoteColour::Red);
        QCOMPARE(note && note->isVisible(), expect.due);
    }
    QCOMPARE(red.tmrDate->isActive(), expect.dateArmed);
    QCOMPARE(red.tmrTime->isActive(), expect.timeArmed);

    QVERIFY(a.messages.shown.isEmpty());
    QCOMPARE(saveFailureBoxes().size(), 0);
    // Reading is no reason to rewrite what the person wrote.
    QVERIFY(readAll(ini) == file);
}

void TstRelHandEdited::garbageStartsCleanly_data()
{
    QTest::addColumn<QByteArray>("file");
    for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::addRow("random %u", seed) << garbage(seed, 1 << (6 + seed));
    // Garbage that keeps running into the file's notation.
    QByteArray dense;
    QRandomGenerator random(77);
    const char* pieces[] = { "[", "]", "=", "\\", "\"", "\n", "\r", "Red", "ON", "Note", "Always",
        "Timer", "\\x", "%U", "@", "\xff", "\0" };
    for (int i = 0; i < 20000; ++i)
        dense += pieces[random.bounded(int(std::size(pieces)))];
    QTest::newRow("notation soup") << dense;
    QTest::newRow("garbage, then presets") << (garbage(99, 4096)
        + "\n\n[Always]\nRed=ON\n[Date]\nGreen=July 05, 2004\n[Timer]\nGreen=ON\n");
}

void TstRelHandEdited::garbageStartsCleanly()
{
    QFETCH(QByteArray, file);
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/garbage-XXXXXX"));
    const QString ini = dir.filePath(QStringLiteral("Tackpad.ini"));
    QVERIFY(writeFile(ini, file));

    RealStoreApp a(ini);
    a.clock.current = at(8, 10, 0);
    a.app->Form_Load();
    // Whatever the store makes of the bytes is what the fields show, and only "ON" switches on.
    IniSettingsStore reader(ini);
    for (NoteColour c : kAllNotes) {
        const QString w = colourWord(c);
        const RowControls row = rowOf(settingsWindow(), c);
        const auto stored = [&](const char* s, const QString& key) {
            return reader.ReadSetting(QLatin1String(s), key);
        };
        QCOMPARE(row.txtDate->text(), stored("Date", w));
        QCOMPARE(row.txtHour->text(), stored("Hour", w));
        QCOMPARE(row.txtMin->text(), stored("Min", w));
        QCOMPARE(row.chkDate->isChecked(), stored("Timer", w) == u"ON");
        QCOMPARE(row.chkTime->isChecked(), stored("Timer", w + u'1') == u"ON");
        QCOMPARE(row.chkStart->isChecked(), stored("Always", w) == u"ON");
        QCOMPARE(noteWindow(c) != nullptr, stored("Always", w) == u"ON");
    }
    for (int tick = 0; tick < 3; ++tick) {
        a.clock.advanceMinutes(1);
        tickAll(settingsWindow());
    }
    if (QTest::currentDataTag() == QByteArrayView("garbage, then presets")) {
        QVERIFY(noteWindow(NoteColour::Red)->isVisible());
        QVERIFY(noteWindow(NoteColour::Green)->isVisible()); // its date has passed
    }
    QVERIFY(a.messages.shown.isEmpty());
    QCOMPARE(saveFailureBoxes().size(), 0);
    QVERIFY(readAll(ini) == file);
}

int main(int argc, char** argv)
{
    prepareHome();
    QApplication app(argc, argv);
    TstRelHandEdited test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rel_handedited.moc"
