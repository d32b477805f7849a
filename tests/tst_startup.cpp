// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "harness.h"

#include "app/tackpad.h"
#include "base/buildinfo.h"
#include "notes/notes.h"
#include "notes/notewindow.h"
#include "platform/xdgautostart.h"
#include "schedule/datetext.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QStringList rowReads(const QString& c)
{
    return { "Read Date/" + c, "Read Hour/" + c, "Read Min/" + c, "Read Timer/" + c,
        "Read Timer/" + c + "1", "Read Always/" + c };
}

} // namespace

class TstStartup : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreShowsNothingAndArmsNothing();
    void everyAlwaysEntryShowsNotesBlueGreenRed();
    void switchesAreRestoredEvenWithoutTheirFields();
    void onlyTheNotesAskedForTakeTheKeyboard();
    void onlyExactlyOnCountsAsOn_data();
    void onlyExactlyOnCountsAsOn();
    void fullPresetsComeBackAndTheStoreIsUnchanged();
    void autostartFailureShowsTheMessageOnceAndGoesOn();
    void autostartEntryIsValidAndNamesTheFixedPath();
    void autostartListThatCannotBeWrittenFails();
};

void TstStartup::emptyStoreShowsNothingAndArmsNothing()
{
    Harness h;
    Tackpad& app = h.make();
    app.Form_Load();
    QVERIFY(!settingsWindow().isVisible());
    QCOMPARE(h.autostart.registrations.size(), 1);
    QCOMPARE(h.autostart.registrations.first().first, QStringLiteral("Tackpad"));
    QVERIFY(h.messages.shown.isEmpty());
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysDate")->text(),
        DateText::formatDate(QDate(2026, 12, 8)));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtSysTime")->text(), QStringLiteral("09:41"));
    QStringList expected;
    for (const char* c : { "Blue", "Green", "Red" })
        expected << rowReads(QLatin1String(c));
    QCOMPARE(h.store.calls, expected);
    for (NoteColour c : kAllNotes) {
        const RowControls row = rowOf(settingsWindow(), c);
        QVERIFY(row.txtDate->text().isEmpty() && row.txtHour->text().isEmpty()
            && row.txtMin->text().isEmpty());
        QVERIFY(
            !row.chkDate->isChecked() && !row.chkTime->isChecked() && !row.chkStart->isChecked());
        QVERIFY(!row.chkDate->isEnabled() && !row.chkTime->isEnabled());
        QVERIFY(!row.tmrDate->isActive() && !row.tmrTime->isActive());
        QVERIFY(!noteWindow(c));
    }
    QCOMPARE(h.ports.tones(), 0);
}

void TstStartup::everyAlwaysEntryShowsNotesBlueGreenRed()
{
    Harness h;
    for (const char* c : { "Red", "Green", "Blue" })
        h.store.set(QStringLiteral("Always/") + QLatin1String(c), QStringLiteral("ON"));
    Tackpad& app = h.make();
    QStringList created;
    connect(&partOf<Notes>(app), &Notes::created, [&](NoteColour c) { created << colourWord(c); });
    app.Form_Load();
    QCOMPARE(created, QStringList({ "Blue", "Green", "Red" }));
    QStringList expected;
    for (const char* c : { "Blue", "Green", "Red" }) {
        const QString w = QLatin1String(c);
        expected << rowReads(w);
        expected += { "Write Always/" + w + "=ON", "Read Note/" + w };
    }
    QCOMPARE(h.store.calls, expected);
    // Three alerts one after another: 24 tones.
    QCOMPARE(h.ports.tones(), 24);
    for (NoteColour c : kAllNotes) {
        QVERIFY(noteWindow(c)->isVisible());
        QVERIFY(rowOf(settingsWindow(), c).chkStart->isChecked());
    }
    QVERIFY(!settingsWindow().isVisible());
}

void TstStartup::switchesAreRestoredEvenWithoutTheirFields()
{
    Harness h;
    h.store.set(QStringLiteral("Timer/Green"), QStringLiteral("ON"));
    h.store.set(QStringLiteral("Timer/Blue1"), QStringLiteral("ON"));
    h.store.set(QStringLiteral("Hour/Blue"), QStringLiteral("7"));
    Tackpad& app = h.make();
    app.Form_Load();
    const RowControls green = rowOf(settingsWindow(), NoteColour::Green);
    QVERIFY(green.chkDate->isChecked());
    QVERIFY(!green.chkDate->isEnabled());
    QVERIFY(green.tmrDate->isActive());
    const RowControls blue = rowOf(settingsWindow(), NoteColour::Blue);
    QCOMPARE(blue.txtHour->text(), QStringLiteral("7"));
    QVERIFY(blue.chkTime->isChecked());
    QVERIFY(!blue.chkTime->isEnabled());
    QVERIFY(blue.tmrTime->isActive());
    QCOMPARE(h.store.changes(), QStringList({ "Write Timer/Blue1=ON", "Write Timer/Green=ON" }));
}

void TstStartup::onlyTheNotesAskedForTakeTheKeyboard()
{
    Harness h;
    h.store.set(QStringLiteral("Always/Red"), QStringLiteral("ON"));
    Tackpad& app = h.make();
    app.Form_Load();
    NoteWindow* red = noteWindow(NoteColour::Red);
    const auto leavesKeyboard = [](QWidget* w) {
        return w->testAttribute(Qt::WA_ShowWithoutActivating)
            && w->windowHandle()->property("_q_showWithoutActivating").toBool();
    };
    QVERIFY(red->isVisible() && leavesKeyboard(red));
    red->hide();
    trayCommand("MnuShowRed")->trigger();
    QVERIFY(red->isVisible());
    QVERIFY(!red->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(!red->windowHandle()->property("_q_showWithoutActivating").toBool());

    // A date switch set on a day that has come pops the note up, though the person set it.
    const RowControls green = rowOf(settingsWindow(), NoteColour::Green);
    green.txtDate->setText(DateText::formatDate(QDate(2026, 12, 1)));
    green.chkDate->click();
    QTRY_VERIFY(noteWindow(NoteColour::Green));
    QTRY_VERIFY(noteWindow(NoteColour::Green)->isVisible());
    QVERIFY(leavesKeyboard(noteWindow(NoteColour::Green)));
}

void TstStartup::onlyExactlyOnCountsAsOn_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("on");
    QTest::newRow("ON") << "ON" << true;
    QTest::newRow("on") << "on" << false;
    QTest::newRow("On") << "On" << false;
    QTest::newRow("oN") << "oN" << false;
    QTest::newRow("blank before") << " ON" << false;
    QTest::newRow("blank after") << "ON " << false;
    QTest::newRow("OFF") << "OFF" << false;
    QTest::newRow("ONE") << "ONE" << false;
    QTest::newRow("empty") << "" << false;
}

void TstStartup::onlyExactlyOnCountsAsOn()
{
    QFETCH(QString, value);
    QFETCH(bool, on);
    Harness h;
    for (const char* key : { "Timer/Red", "Timer/Red1", "Always/Red" })
        h.store.set(QLatin1String(key), value);
    Tackpad& app = h.make();
    app.Form_Load();
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    QCOMPARE(red.chkDate->isChecked(), on);
    QCOMPARE(red.chkTime->isChecked(), on);
    QCOMPARE(red.chkStart->isChecked(), on);
    QCOMPARE(red.tmrDate->isActive(), on);
    QCOMPARE(red.tmrTime->isActive(), on);
    QCOMPARE(noteWindow(NoteColour::Red) != nullptr, on);
    // Values the program would never write stay as they are.
    for (const char* key : { "Timer/Red", "Timer/Red1", "Always/Red" })
        QCOMPARE(h.store.entries.value(QLatin1String(key)), value);
}

void TstStartup::fullPresetsComeBackAndTheStoreIsUnchanged()
{
    Harness h;
    const QMap<QString, QString> stored {
        { "Date/Red", "July 05, 2004" },
        { "Hour/Red", "14" },
        { "Min/Red", "0" },
        { "Timer/Red", "OFF" },
        { "Timer/Red1", "ON" },
        { "Always/Red", "ON" },
        { "Note/Red", "buy milk" },
        { "Date/Blue", "not a date at all" },
        { "Timer/Blue", "ON" },
        { "Hour/Green", "99" },
        { "Min/Green", "abc" },
    };
    h.store.entries = stored;
    Tackpad& app = h.make();
    app.Form_Load();
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    QCOMPARE(red.txtDate->text(), QStringLiteral("July 05, 2004"));
    QCOMPARE(red.txtHour->text(), QStringLiteral("14"));
    QCOMPARE(red.txtMin->text(), QStringLiteral("0"));
    QVERIFY(red.chkDate->isEnabled() && !red.chkDate->isChecked());
    QVERIFY(red.chkTime->isEnabled() && red.chkTime->isChecked());
    QVERIFY(red.tmrTime->isActive() && !red.tmrDate->isActive());
    // The scroll bars keep their design values whatever the fields say.
    QCOMPARE(red.VScrollHour->value(), 1);
    QCOMPARE(red.VScrollMin->value(), 59);
    // Texts go into the fields unchanged, even when they do not read as dates or times.
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtDateBlue")->text(),
        QStringLiteral("not a date at all"));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtHourGreen")->text(), QStringLiteral("99"));
    QCOMPARE(child<QLineEdit>(settingsWindow(), "txtMinGreen")->text(), QStringLiteral("abc"));
    QVERIFY(child<QCheckBox>(settingsWindow(), "chkGreen1")->isEnabled());
    QCOMPARE(h.store.entries, stored);
}

void TstStartup::autostartFailureShowsTheMessageOnceAndGoesOn()
{
    Harness h;
    QStringList effects;
    h.autostart.succeed = false;
    h.autostart.log = &effects;
    h.messages.log = &effects;
    h.store.set(QStringLiteral("Always/Green"), QStringLiteral("ON"));
    Tackpad& app = h.make();
    connect(&partOf<Notes>(app), &Notes::created,
        [&](NoteColour c) { effects << "note " + colourWord(c); });
    app.Form_Load();
    QCOMPARE(effects,
        QStringList({ "autostart Tackpad=" + BuildInfo::fixedProgramPath(),
            "message Tackpad: OpenKey failed.", "note Green" }));
}

void TstStartup::autostartEntryIsValidAndNamesTheFixedPath()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("autostart"));
    // The working folder does not matter: the fixed path is written.
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    XdgAutostart autostart(folder);
    QVERIFY(autostart.registerProgram(QStringLiteral("Tackpad"), BuildInfo::fixedProgramPath()));
    // Written again on every start, replacing the earlier entry.
    QVERIFY(autostart.registerProgram(QStringLiteral("Tackpad"), BuildInfo::fixedProgramPath()));
    QDir::setCurrent(before);
    QFile f(folder + QStringLiteral("/Tackpad.desktop"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(f.readAll());
    QVERIFY(entry.startsWith(QLatin1String("[Desktop Entry]\n")));
    QVERIFY(entry.contains(QLatin1String("\nName=Tackpad\n")));
    QVERIFY(entry.contains("\nExec=\"" + BuildInfo::fixedProgramPath() + "\"\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);

    const QString validator
        = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QProcess p;
    p.start(validator, { f.fileName() });
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p.readAll()).trimmed(), QString());
}

void TstStartup::autostartListThatCannotBeWrittenFails()
{
    QTemporaryDir dir;
    // A file where the folder should be: the list cannot be opened.
    QFile blocker(dir.filePath(QStringLiteral("autostart")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    XdgAutostart blocked(blocker.fileName());
    QVERIFY(
        !blocked.registerProgram(QStringLiteral("Tackpad"), QStringLiteral("/usr/bin/tackpad")));

    QCOMPARE(quoteExecArgument(QStringLiteral("/opt/my apps/tack$pad\\\"%")),
        QStringLiteral("\"/opt/my apps/tack\\\\$pad\\\\\\\\\\\\\"%%\""));
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
