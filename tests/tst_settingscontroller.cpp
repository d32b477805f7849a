// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "harness.h"

#include "base/buildinfo.h"
#include "notes/notes.h"
#include "notes/notewindow.h"
#include "settingswindow/helptext.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

class TstSettingsController : public QObject {
    Q_OBJECT
private slots:
    void settingsWindowShowAndTray();
    void noteLabelsShowTheirNotes();
    void helpBoxesShowOnlyWhileHeld_data();
    void helpBoxesShowOnlyWhileHeld();
    void creditLineAlternatesWhileShown();
    void webPageOpensFromBothPlaces();
    void withoutATrayTheSettingsWindowShowsAndCarriesTheMenu();
    void saveFailureIsToldOnce();
    void failedSavesAreToldAndTriedAgain();
};

void TstSettingsController::settingsWindowShowAndTray()
{
    Harness h;
    h.start();
    trayCommand("MnuSetting")->trigger();
    QVERIFY(settingsWindow().isVisible());
    const QPoint pos = settingsWindow().pos();
    trayCommand("MnuSetting")->trigger(); // no toggling, no moving
    QVERIFY(settingsWindow().isVisible());
    QCOMPARE(settingsWindow().pos(), pos);
    QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow()));
    QTest::mouseClick(child<QLabel>(settingsWindow(), "lblTray"), Qt::LeftButton);
    QVERIFY(!settingsWindow().isVisible());
    // Hidden, the clock display goes on; the credit line rests until the window shows again.
    QVERIFY(child<QTimer>(settingsWindow(), "TmrSys")->isActive()
        && !child<QTimer>(settingsWindow(), "tmrMe")->isActive());
    trayCommand("MnuSetting")->trigger();
    QVERIFY(child<QTimer>(settingsWindow(), "tmrMe")->isActive());
}

void TstSettingsController::noteLabelsShowTheirNotes()
{
    Harness h;
    h.start();
    settingsWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow()));
    const struct {
        QLabel* label;
        NoteColour colour;
    } labels[] = { { child<QLabel>(settingsWindow(), "lblRed"), NoteColour::Red },
        { child<QLabel>(settingsWindow(), "lblGreen"), NoteColour::Green },
        { child<QLabel>(settingsWindow(), "lblBlue"), NoteColour::Blue } };
    for (const auto& l : labels) {
        QVERIFY(!noteWindow(l.colour));
        QTest::mouseClick(l.label, Qt::RightButton); // not a click of the label
        QVERIFY(!noteWindow(l.colour));
        QTest::mouseClick(l.label, Qt::LeftButton);
        QVERIFY(noteShown(l.colour));
    }
    QCOMPARE(h.ports.tones(), 24);
}

void TstSettingsController::helpBoxesShowOnlyWhileHeld_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("box");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("release"); // relative to the label; null: on it
    for (Qt::MouseButton b : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        for (const QPoint at : { QPoint(), QPoint(-200, 150) }) {
            const char* where = at.isNull() ? "on the label" : "elsewhere";
            QTest::addRow("Instructions, button %d, released %s", int(b), where)
                << "Label13"
                << "txtInstruction" << b << at;
            QTest::addRow("Ads, button %d, released %s", int(b), where) << "lblAd"
                                                                        << "txtAd" << b << at;
        }
    }
}

void TstSettingsController::helpBoxesShowOnlyWhileHeld()
{
    QFETCH(QString, label);
    QFETCH(QString, box);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, release);
    Harness h;
    h.start();
    settingsWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow()));
    auto* l = settingsWindow().findChild<QLabel*>(label);
    auto* b = settingsWindow().findChild<QPlainTextEdit*>(box);
    QTest::mousePress(l, button);
    QVERIFY(b->isVisible());
    // The box covers the rows and the clock, but not its own label.
    QVERIFY(b->geometry().contains(child<QLineEdit>(settingsWindow(), "txtDateRed")->geometry()));
    QVERIFY(!b->geometry().intersects(l->geometry()));
    // A menu request on the label (a right press, without a tray) opens nothing over the box.
    QContextMenuEvent menuRequest(
        QContextMenuEvent::Mouse, QPoint(2, 2), l->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(l, &menuRequest);
    QVERIFY(!trayMenu()->isVisible());
    QTest::mouseRelease(l, button, {}, release.isNull() ? l->rect().center() : release);
    QVERIFY(!b->isVisible());
}

void TstSettingsController::creditLineAlternatesWhileShown()
{
    Harness h;
    h.start();
    QVERIFY(!settingsWindow().isVisible());
    QLabel* me = child<QLabel>(settingsWindow(), "lblMe");
    QCOMPARE(me->text(), creditText());
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        QMetaObject::invokeMethod(child<QTimer>(settingsWindow(), "tmrMe"), "timeout");
        seen << me->text();
    }
    QCOMPARE(seen,
        QStringList(
            { BuildInfo::webAddress(), creditText(), BuildInfo::webAddress(), creditText() }));
    QVERIFY(BuildInfo::webAddress().startsWith(QLatin1String("https://")));
    // By the real timer, every two seconds, only while the window shows.
    QVERIFY(!child<QTimer>(settingsWindow(), "tmrMe")->isActive());
    settingsWindow().show();
    QTRY_COMPARE_WITH_TIMEOUT(me->text(), BuildInfo::webAddress(), 2600);
}

void TstSettingsController::webPageOpensFromBothPlaces()
{
    Harness h;
    h.commands.succeed = false; // an opener that cannot run changes nothing
    h.start();
    settingsWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow()));
    QTest::mouseClick(child<QLabel>(settingsWindow(), "lblMe"), Qt::LeftButton);
    QMetaObject::invokeMethod(
        child<QTimer>(settingsWindow(), "tmrMe"), "timeout"); // now showing the address
    QTest::mouseClick(child<QLabel>(settingsWindow(), "lblMe"), Qt::LeftButton);
    trayCommand("Mnuzovo")->trigger();
    const QUrl page(BuildInfo::webAddress());
    QCOMPARE(h.commands.opened, QList<QUrl>({ page, page, page }));
    QVERIFY(h.store.changes().isEmpty());
    QVERIFY(settingsWindow().isVisible());
}

void TstSettingsController::withoutATrayTheSettingsWindowShowsAndCarriesTheMenu()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // offscreen has no tray host
    Harness h;
    Tackpad& app = h.start();
    app.watchTray(300);
    QVERIFY(!settingsWindow().isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(settingsWindow().isVisible(), 2000);
    QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow()));
    QContextMenuEvent menuRequest(
        QContextMenuEvent::Mouse, QPoint(5, 5), settingsWindow().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&settingsWindow(), &menuRequest);
    QVERIFY(trayMenu()->isVisible());
    trayMenu()->hide();
}

void TstSettingsController::saveFailureIsToldOnce()
{
    Harness h;
    h.start();
    showNote(NoteColour::Red);
    QTextEdit* txt = noteTextBox(noteWindow(NoteColour::Red));
    h.store.failWrites = true;
    QTest::keyClicks(txt, QStringLiteral("abc"));
    // Without a tray the message is a box that does not block typing.
    const auto boxes = [] {
        QList<QWidget*> out;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("saveFailureMessage") && w->isVisible())
                out << w;
        }
        return out;
    };
    QCOMPARE(boxes().size(), 1);
    QVERIFY(!boxes().first()->isModal());
    const QString told = qobject_cast<QMessageBox*>(boxes().first())->text();
    QVERIFY(told.contains(QLatin1String("No space left on device")));
    QCOMPARE(txt->toPlainText(), QStringLiteral("abc"));
    h.store.failWrites = false;
    QTest::keyClicks(txt, QStringLiteral("d"));
    QCOMPARE(h.store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("abcd"));
    qDeleteAll(boxes());
}

void TstSettingsController::failedSavesAreToldAndTriedAgain()
{
    Harness h;
    h.start();
    const auto boxCount = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String("saveFailureMessage") && w->isVisible();
        return n;
    };
    const auto retries = [&h] { return h.store.calls.count(QStringLiteral("Retry")); };

    // A preset that cannot be saved is told as a note's text is.
    h.store.failWrites = true;
    rowOf(settingsWindow(), NoteColour::Red).chkStart->click();
    QCOMPARE(boxCount(), 1);
    showNote(NoteColour::Red);
    QTextEdit* txt = noteTextBox(noteWindow(NoteColour::Red));
    QTest::keyClicks(txt, QStringLiteral("ab"));
    QCOMPARE(boxCount(), 1);

    // Once the disk takes it again, both are saved without another keystroke.
    QTRY_VERIFY_WITH_TIMEOUT(retries() >= 1, 5000);
    h.store.failWrites = false;
    QTRY_COMPARE_WITH_TIMEOUT(
        h.store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("ab"), 5000);
    QCOMPARE(h.store.entries.value(QStringLiteral("Always/Red")), QStringLiteral("ON"));
    const int afterSave = retries();
    QTest::qWait(5 * intervals().saveRetryMs); // no retry once saved
    QCOMPARE(retries(), afterSave);

    // A later failure is told again.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("saveFailureMessage"))
            delete w;
    }
    h.store.failWrites = true;
    QTest::keyClicks(txt, QStringLiteral("c"));
    QCOMPARE(boxCount(), 1);
    h.store.failWrites = false;
    QTest::keyClicks(txt, QStringLiteral("d"));
    QCOMPARE(h.store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("abcd"));
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("saveFailureMessage"))
            delete w;
    }
}

QTEST_MAIN(TstSettingsController)
#include "tst_settingscontroller.moc"
