// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window without a mouse: every command and preset is reached and used from the
// keyboard, through the same handlers as a click, and the focus can be seen.
#include "controls.h"
#include "harness.h"

#include "notes/notes.h"
#include "notes/notewindow.h"
#include "schedule/datetext.h"
#include "widgets/announcement.h"
#include "widgets/commandlabel.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>

#include <QtTest>

namespace {

void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace

class TstKeyboard : public QObject {
    Q_OBJECT
private slots:
    void startedAgainOpensTheWindowWithTheKeyboardInIt();
    void commandLabelsTakeKeysAsClicks_data();
    void commandLabelsTakeKeysAsClicks();
    void helpShowsWhileSpaceIsHeld_data();
    void helpShowsWhileSpaceIsHeld();
    void dateFieldOpensItsCalendar_data();
    void dateFieldOpensItsCalendar();
    void escapeClosesTheCalendarWithoutPicking();
    void focusIsDrawn();
};

void TstKeyboard::startedAgainOpensTheWindowWithTheKeyboardInIt()
{
    Harness h;
    Tackpad& app = h.start();
    app.startedAgain();
    QVERIFY(QTest::qWaitForWindowActive(&settingsWindow()));
    QCOMPARE(QApplication::focusWidget(), child<QLabel>(settingsWindow(), "lblBlue"));
    // Started again later, the keyboard stays where the user left it.
    child<QCheckBox>(settingsWindow(), "chkGreen2")->setFocus();
    app.startedAgain();
    QCOMPARE(QApplication::focusWidget(), child<QCheckBox>(settingsWindow(), "chkGreen2"));
    QVERIFY(h.store.changes().isEmpty());
}

void TstKeyboard::commandLabelsTakeKeysAsClicks_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("effect"); // a note shown, or "hidden": the window hidden
    QTest::newRow("Enter on Red Note") << "lblRed" << int(Qt::Key_Return) << 0 << "Red";
    QTest::newRow("Space on Green Note") << "lblGreen" << int(Qt::Key_Space) << 0 << "Green";
    QTest::newRow("keypad Enter on Blue Note") << "lblBlue" << int(Qt::Key_Enter) << 0 << "Blue";
    QTest::newRow("Enter on Tray") << "lblTray" << int(Qt::Key_Return) << 0 << "hidden";
    QTest::newRow("Space on Tray") << "lblTray" << int(Qt::Key_Space) << 0 << "hidden";
    QTest::newRow("Alt+T anywhere")
        << "chkRed2" << int(Qt::Key_T) << int(Qt::AltModifier) << "hidden";
    QTest::newRow("Escape anywhere") << "VScrollMinGreen" << int(Qt::Key_Escape) << 0 << "hidden";
    QTest::newRow("a letter on a note name does nothing") << "lblRed" << int(Qt::Key_A) << 0 << "";
}

void TstKeyboard::commandLabelsTakeKeysAsClicks()
{
    QFETCH(QString, label);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, effect);
    Harness h;
    h.start();
    showActive(settingsWindow());
    auto* target = settingsWindow().findChild<QWidget*>(label);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(settingsWindow().isVisible(), effect != QLatin1String("hidden"));
    for (NoteColour c : kAllNotes)
        QCOMPARE(noteShown(c), effect == colourWord(c));
    QCOMPARE(h.ports.tones(), effect.isEmpty() || effect == QLatin1String("hidden") ? 0 : 8);
    QVERIFY(h.store.changes().isEmpty());
}

void TstKeyboard::helpShowsWhileSpaceIsHeld_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("box");
    QTest::newRow("Instructions") << "Label13"
                                  << "txtInstruction";
    QTest::newRow("Ads") << "lblAd"
                         << "txtAd";
}

void TstKeyboard::helpShowsWhileSpaceIsHeld()
{
    QFETCH(QString, label);
    QFETCH(QString, box);
    Harness h;
    h.start();
    showActive(settingsWindow());
    auto* l = settingsWindow().findChild<QLabel*>(label);
    auto* b = settingsWindow().findChild<QPlainTextEdit*>(box);
    l->setFocus();
    QSignalSpy held(static_cast<CommandLabel*>(l), &CommandLabel::held);
    QTest::keyPress(l, Qt::Key_Space);
    QVERIFY(b->isVisible());
    // The keyboard repeats a held key as a release and a press at once, which reach the label
    // without their repeat mark while a screen reader runs: the box stays, shown once.
    for (int i = 0; i < 3; ++i) {
        QTest::keyRelease(l, Qt::Key_Space);
        QTest::keyPress(l, Qt::Key_Space);
        QTest::qWait(20);
    }
    QVERIFY(b->isVisible());
    QCOMPARE(held.count(), 1);
    // A screen reader hears the box, which never has the keyboard.
    QVERIFY(child<Announcement>(settingsWindow(), "helpSpoken")->isVisible());
    QCOMPARE(child<Announcement>(settingsWindow(), "helpSpoken")->accessibleDescription(),
        b->toPlainText().simplified());
    QTest::keyRelease(l, Qt::Key_Space);
    QTRY_VERIFY(!b->isVisible());
    QVERIFY(settingsWindow().isVisible());
    // Held while the keyboard goes elsewhere: the box does not stay over the rows.
    QTest::keyPress(l, Qt::Key_Space);
    child<QLabel>(settingsWindow(), "lblBlue")->setFocus();
    QVERIFY(!b->isVisible());
    // Enter shows it until Enter or Escape, to be listened to with no key held; Escape lets the
    // help go, not the window.
    l->setFocus();
    for (Qt::Key off : { Qt::Key_Return, Qt::Key_Escape }) {
        QTest::keyClick(l, Qt::Key_Return);
        QTest::qWait(100);
        QVERIFY(b->isVisible());
        QTest::keyClick(l, off);
        QVERIFY(!b->isVisible());
    }
    QVERIFY(settingsWindow().isVisible());
}

void TstKeyboard::dateFieldOpensItsCalendar_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
    QTest::newRow("Space") << int(Qt::Key_Space) << 0;
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
    QTest::newRow("F4") << int(Qt::Key_F4) << 0;
}

void TstKeyboard::dateFieldOpensItsCalendar()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Harness h;
    h.start();
    showActive(settingsWindow());
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    red.txtDate->setFocus();
    QTest::keyClicks(red.txtDate, QStringLiteral("7x")); // read-only to typing
    QVERIFY(red.txtDate->text().isEmpty());
    QTest::keyClick(red.txtDate, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(red.Calendar->isVisible());
    auto* grid = red.Calendar->findChild<QTableView*>();
    QCOMPARE(QApplication::focusWidget(), grid);
    // From its design date, 17 April 2004: a week on, a day back, a month on.
    for (Qt::Key k : { Qt::Key_Down, Qt::Key_Left, Qt::Key_PageDown })
        QTest::keyClick(grid, k);
    QCOMPARE(red.Calendar->selectedDate(), QDate(2004, 5, 23));
    QVERIFY(h.store.changes().isEmpty());
    QTest::keyClick(grid, Qt::Key_Return);
    // As a click on the day: the field, the switch made available, the entry, then hidden.
    const QString text = DateText::formatDate(QDate(2004, 5, 23));
    QCOMPARE(red.txtDate->text(), text);
    QVERIFY(red.chkDate->isEnabled());
    QVERIFY(!red.Calendar->isVisible());
    QCOMPARE(h.store.changes(), QStringList { "Write Date/Red=" + text });
    QCOMPARE(QApplication::focusWidget(), red.txtDate);
    QVERIFY(settingsWindow().isVisible());
}

void TstKeyboard::escapeClosesTheCalendarWithoutPicking()
{
    Harness h;
    h.start();
    showActive(settingsWindow());
    const RowControls blue = rowOf(settingsWindow(), NoteColour::Blue);
    blue.txtDate->setFocus();
    QTest::keyClick(blue.txtDate, Qt::Key_F4);
    auto* grid = blue.Calendar->findChild<QTableView*>();
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Escape);
    QVERIFY(!blue.Calendar->isVisible());
    QVERIFY(blue.txtDate->text().isEmpty());
    QVERIFY(h.store.changes().isEmpty());
    QCOMPARE(QApplication::focusWidget(), blue.txtDate);
    QVERIFY(settingsWindow().isVisible()); // the Escape closed the calendar only
}

void TstKeyboard::focusIsDrawn()
{
    Harness h;
    h.store.set(QStringLiteral("Date/Green"), QStringLiteral("December 08, 2026"));
    h.start();
    showActive(settingsWindow());
    const RowControls green = rowOf(settingsWindow(), NoteColour::Green);
    // Once the keyboard has moved the focus, as Tab does.
    child<QLabel>(settingsWindow(), "lblBlue")->setFocus();
    QTest::keyClick(child<QLabel>(settingsWindow(), "lblBlue"), Qt::Key_Tab);
    for (QWidget* w : std::initializer_list<QWidget*> { green.lbl, green.txtDate, green.chkDate,
             green.VScrollHour, green.chkStart, child<QLabel>(settingsWindow(), "lblTray"),
             child<QLabel>(settingsWindow(), "Label13"),
             child<QLabel>(settingsWindow(), "lblAd") }) {
        child<QWidget>(settingsWindow(), "frmMainClient")->setFocus();
        const QImage without = w->grab().toImage();
        w->setFocus(Qt::TabFocusReason);
        const QImage with = w->grab().toImage();
        QVERIFY2(with != without, qPrintable(w->objectName()));
    }
}

QTEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"
