// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

#include "app/inisettingsstore.h"
#include "forms/mainform.h"
#include "notes/notes.h"
#include "notes/notewindow.h"
#include "tray/traycommands.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

namespace {

bool shown(Tackpad& app, NoteColour c)
{
    NoteWindow* w = app.notes().existing(c);
    return w && w->isVisible();
}

// The child of closeDuringAnAlertKeepsEverythingTyped: types into a note, then chooses Close
// from the menu while another note plays its alert.
int closeChild(const QString& storePath)
{
    IniSettingsStore store(storePath);
    FakeClock clock;
    FakeAutostart autostart;
    FakeMessageBox messages;
    RecordingPorts ports;
    FakeCommandRunner commands;
    Tackpad app({ store, clock, autostart, messages, ports, commands });
    app.Form_Load();
    app.notes().Show(NoteColour::Red);
    QTest::keyClicks(
        app.notes().existing(NoteColour::Red)->form().txt, QStringLiteral("typed before"));
    int tones = 0;
    ports.onOut = [&](qint16 port, qint16 value) {
        if (port == 0x61 && (value & 3) == 3 && ++tones == 3)
            QTimer::singleShot(0, [&] { app.form().MnuEnd->trigger(); });
    };
    app.notes().Show(NoteColour::Blue);
    return 3; // not reached: Close ends the process at once
}

} // namespace

class TstTray : public QObject {
    Q_OBJECT
private slots:
    void trayIconAndItsMenu();
    void menuCommandsShowAndHideNotes();
    void hideOfANoteNeverShownCreatesItSilentlyLater();
    void settingsWindowShowAndTray();
    void noteLabelsShowTheirNotes();
    void helpBoxesShowOnlyWhileHeld_data();
    void helpBoxesShowOnlyWhileHeld();
    void creditLineAlternatesEvenWhileHidden();
    void webPageOpensFromBothPlaces();
    void withoutATrayTheSettingsWindowShowsAndCarriesTheMenu();
    void saveFailureIsToldOnce();
    void failedSavesAreToldAndTriedAgain();
    void closeDuringAnAlertKeepsEverythingTyped();
};

void TstTray::trayIconAndItsMenu()
{
    Harness h;
    Tackpad& app = h.start();
    QSystemTrayIcon* icon = app.tray().TrayIcon1();
    QCOMPARE(icon->objectName(), QStringLiteral("TrayIcon1"));
    // A component of the settings window, there from the window's creation.
    QCOMPARE(app.frmMain().findChild<QSystemTrayIcon*>(QStringLiteral("TrayIcon1")), icon);
    QCOMPARE(icon->toolTip(), QStringLiteral("System Tray Icon v.1.0"));
    QVERIFY(!icon->icon().isNull());
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->contextMenu(), app.form().MnuMenu);
    // The activate notification opens the settings window.
    emit icon->activated(QSystemTrayIcon::Trigger);
    QVERIFY(app.frmMain().isVisible());
    QCOMPARE(icon->toolTip(), QStringLiteral("System Tray Icon v.1.0"));
}

void TstTray::menuCommandsShowAndHideNotes()
{
    Harness h;
    Tackpad& app = h.start();
    const struct {
        QAction* show;
        QAction* hide;
        NoteColour colour;
    } items[] = { { app.form().MnuShowBlue, app.form().MnuHideBlue, NoteColour::Blue },
        { app.form().MnuShowGreen, app.form().MnuHideGreen, NoteColour::Green },
        { app.form().MnuShowRed, app.form().MnuHideRed, NoteColour::Red } };
    int tones = 0;
    for (const auto& item : items) {
        item.show->trigger();
        tones += 8;
        QVERIFY(shown(app, item.colour));
        QCOMPARE(h.ports.tones(), tones);
        const QPoint pos = app.notes().existing(item.colour)->pos();
        item.show->trigger(); // already visible: unchanged, silent
        QCOMPARE(app.notes().existing(item.colour)->pos(), pos);
        item.hide->trigger();
        QVERIFY(!shown(app, item.colour));
        QCOMPARE(h.ports.tones(), tones);
    }
    // None of the commands touches presets or the store.
    QVERIFY(h.store.changes().isEmpty());
}

void TstTray::hideOfANoteNeverShownCreatesItSilentlyLater()
{
    Harness h;
    h.store.set(QStringLiteral("Note/Green"), QStringLiteral("restored"));
    Tackpad& app = h.start();
    app.form().MnuHideGreen->trigger();
    NoteWindow* green = app.notes().existing(NoteColour::Green);
    QVERIFY(green && !green->isVisible());
    QCOMPARE(green->form().txt->toPlainText(), QStringLiteral("restored"));
    QCOMPARE(h.ports.tones(), 8);
    app.form().MnuShowGreen->trigger();
    QVERIFY(green->isVisible());
    QCOMPARE(h.ports.tones(), 8);
}

void TstTray::settingsWindowShowAndTray()
{
    Harness h;
    Tackpad& app = h.start();
    app.form().MnuSetting->trigger();
    QVERIFY(app.frmMain().isVisible());
    const QPoint pos = app.frmMain().pos();
    app.form().MnuSetting->trigger(); // no toggling, no moving
    QVERIFY(app.frmMain().isVisible());
    QCOMPARE(app.frmMain().pos(), pos);
    QVERIFY(QTest::qWaitForWindowExposed(&app.frmMain()));
    QTest::mouseClick(app.form().lblTray, Qt::LeftButton);
    QVERIFY(!app.frmMain().isVisible());
    // Hidden, its timers go on.
    QVERIFY(app.form().TmrSys->isActive() && app.form().tmrMe->isActive());
}

void TstTray::noteLabelsShowTheirNotes()
{
    Harness h;
    Tackpad& app = h.start();
    app.frmMain().show();
    QVERIFY(QTest::qWaitForWindowExposed(&app.frmMain()));
    const struct {
        QLabel* label;
        NoteColour colour;
    } labels[] = { { app.form().lblRed, NoteColour::Red },
        { app.form().lblGreen, NoteColour::Green }, { app.form().lblBlue, NoteColour::Blue } };
    for (const auto& l : labels) {
        QVERIFY(!app.notes().existing(l.colour));
        QTest::mouseClick(l.label, Qt::RightButton); // not a click of the label
        QVERIFY(!app.notes().existing(l.colour));
        QTest::mouseClick(l.label, Qt::LeftButton);
        QVERIFY(shown(app, l.colour));
    }
    QCOMPARE(h.ports.tones(), 24);
}

void TstTray::helpBoxesShowOnlyWhileHeld_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("box");
    QTest::addColumn<Qt::MouseButton>("button");
    for (Qt::MouseButton b : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        QTest::addRow("Instructions, button %d", int(b)) << "Label13"
                                                         << "txtInstruction" << b;
        QTest::addRow("Ads, button %d", int(b)) << "lblAd"
                                                << "txtAd" << b;
    }
}

void TstTray::helpBoxesShowOnlyWhileHeld()
{
    QFETCH(QString, label);
    QFETCH(QString, box);
    QFETCH(Qt::MouseButton, button);
    Harness h;
    Tackpad& app = h.start();
    app.frmMain().show();
    QVERIFY(QTest::qWaitForWindowExposed(&app.frmMain()));
    auto* l = app.frmMain().findChild<QLabel*>(label);
    auto* b = app.frmMain().findChild<QPlainTextEdit*>(box);
    QTest::mousePress(l, button);
    QVERIFY(b->isVisible());
    // The box covers the rows and the clock, but not its own label.
    QVERIFY(b->geometry().contains(app.form().txtDateRed->geometry()));
    QVERIFY(!b->geometry().intersects(l->geometry()));
    QTest::mouseRelease(l, button);
    QVERIFY(!b->isVisible());
}

void TstTray::creditLineAlternatesEvenWhileHidden()
{
    Harness h;
    Tackpad& app = h.start();
    QVERIFY(!app.frmMain().isVisible());
    QLabel* me = app.form().lblMe;
    QCOMPARE(me->text(), creditText());
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        QMetaObject::invokeMethod(app.form().tmrMe, "timeout");
        seen << me->text();
    }
    QCOMPARE(seen, QStringList({ webAddress(), creditText(), webAddress(), creditText() }));
    QVERIFY(webAddress().startsWith(QLatin1String("https://")));
    // And by the real timer, every two seconds.
    QTRY_COMPARE_WITH_TIMEOUT(me->text(), webAddress(), 2600);
}

void TstTray::webPageOpensFromBothPlaces()
{
    Harness h;
    h.commands.succeed = false; // an opener that cannot run changes nothing
    Tackpad& app = h.start();
    app.frmMain().show();
    QVERIFY(QTest::qWaitForWindowExposed(&app.frmMain()));
    QTest::mouseClick(app.form().lblMe, Qt::LeftButton);
    QMetaObject::invokeMethod(app.form().tmrMe, "timeout"); // now showing the address
    QTest::mouseClick(app.form().lblMe, Qt::LeftButton);
    app.form().Mnuzovo->trigger();
    const QString command = QStringLiteral("start ") + webAddress();
    QCOMPARE(h.commands.commands, QStringList({ command, command, command }));
    QVERIFY(h.store.changes().isEmpty());
    QVERIFY(app.frmMain().isVisible());
}

void TstTray::withoutATrayTheSettingsWindowShowsAndCarriesTheMenu()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // offscreen has no tray host
    Harness h;
    Tackpad& app = h.start();
    app.tray().watchForTray(300);
    QVERIFY(!app.frmMain().isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(app.frmMain().isVisible(), 2000);
    QVERIFY(QTest::qWaitForWindowExposed(&app.frmMain()));
    QContextMenuEvent menuRequest(
        QContextMenuEvent::Mouse, QPoint(5, 5), app.frmMain().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&app.frmMain(), &menuRequest);
    QVERIFY(app.form().MnuMenu->isVisible());
    app.form().MnuMenu->hide();
}

void TstTray::saveFailureIsToldOnce()
{
    Harness h;
    Tackpad& app = h.start();
    app.notes().Show(NoteColour::Red);
    QTextEdit* txt = app.notes().existing(NoteColour::Red)->form().txt;
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
    QVERIFY(qobject_cast<QMessageBox*>(boxes().first())
                ->text()
                .contains(QLatin1String("No space left on device")));
    QCOMPARE(txt->toPlainText(), QStringLiteral("abc"));
    h.store.failWrites = false;
    QTest::keyClicks(txt, QStringLiteral("d"));
    QCOMPARE(h.store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("abcd"));
    qDeleteAll(boxes());
}

void TstTray::failedSavesAreToldAndTriedAgain()
{
    Harness h;
    Tackpad& app = h.start();
    const auto boxCount = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String("saveFailureMessage") && w->isVisible();
        return n;
    };
    const auto retries = [&h] { return h.store.calls.count(QStringLiteral("Retry")); };

    // A preset that cannot be saved is told as a note's text is.
    h.store.failWrites = true;
    app.form().row(NoteColour::Red).chkStart->click();
    QCOMPARE(boxCount(), 1);
    app.notes().Show(NoteColour::Red);
    QTextEdit* txt = app.notes().existing(NoteColour::Red)->form().txt;
    QTest::keyClicks(txt, QStringLiteral("ab"));
    QCOMPARE(boxCount(), 1);

    // Once the disk takes it again, both are saved without another keystroke.
    QTRY_VERIFY_WITH_TIMEOUT(retries() >= 1, 5000);
    h.store.failWrites = false;
    QTRY_COMPARE_WITH_TIMEOUT(
        h.store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("ab"), 5000);
    QCOMPARE(h.store.entries.value(QStringLiteral("Always/Red")), QStringLiteral("ON"));
    const int afterSave = retries();
    QTest::qWait(3000);
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

void TstTray::closeDuringAnAlertKeepsEverythingTyped()
{
    QTemporaryDir dir;
    const QString storePath = dir.filePath(QStringLiteral("Tackpad/Tackpad.ini"));
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(), { QStringLiteral("--close-child"), storePath });
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    IniSettingsStore store(storePath);
    QCOMPARE(store.ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")),
        QStringLiteral("typed before"));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--close-child") == 0)
        return closeChild(QString::fromLocal8Bit(argv[2]));
    TstTray test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tray.moc"
