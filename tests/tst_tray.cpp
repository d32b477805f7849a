// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

#include "store/inisettingsstore.h"
#include "forms/mainform.h"
#include "notes/notes.h"
#include "notes/notewindow.h"
#include "tray/traymenu.h"

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
