// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "harness.h"

#include "notes/notes.h"
#include "notes/notewindow.h"
#include "platform/settingsfile/inisettingsstore.h"
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

#include <csignal>
#include <sys/resource.h>

namespace {

// The program on a real settings file, fakes for the rest: the children below end it for real.
struct ProgramOnFile {
    explicit ProgramOnFile(const QString& storePath)
        : store(storePath)
    {
    }
    IniSettingsStore store;
    FakeClock clock;
    FakeAutostart autostart;
    FakeMessageBox messages;
    RecordingPorts ports;
    FakeCommandRunner commands;
    FakeWallClockAlarm alarm { clock };
    Tackpad app { { store, clock, autostart, messages, ports, commands, alarm } };
};

// The child of closeDuringAnAlertKeepsEverythingTyped: types into a note, then chooses Close
// from the menu while another note plays its alert.
int closeChild(const QString& storePath)
{
    ProgramOnFile program(storePath);
    Tackpad& app = program.app;
    app.Form_Load();
    showNote(NoteColour::Red);
    QTest::keyClicks(noteTextBox(noteWindow(NoteColour::Red)), QStringLiteral("typed before"));
    int tones = 0;
    program.ports.onOut = [&](qint16 port, qint16 value) {
        if (port == 0x61 && (value & 3) == 3 && ++tones == 3)
            QTimer::singleShot(0, [&] { trayCommand("MnuEnd")->trigger(); });
    };
    showNote(NoteColour::Blue);
    return 3; // not reached: Close ends the process at once
}

// The child of endSavesFirst: types while the disk is full, frees it or not, and is ended by Close
// or SIGTERM, answering "Close anyway" if asked.
int endChild(const QString& storePath, const QString& how, bool freed)
{
    ProgramOnFile program(storePath);
    program.messages.answers = { true };
    Tackpad& app = program.app; // it takes SIGTERM itself
    app.Form_Load();
    showNote(NoteColour::Red);
    QTextEdit* txt = noteTextBox(noteWindow(NoteColour::Red));
    QTest::keyClicks(txt, QStringLiteral("saved "));
    // A file-size limit fails the writes as a full disk does.
    rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = saved;
    full.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &full);
    QTest::keyClicks(txt, QStringLiteral("unsaved"));
    if (freed)
        ::setrlimit(RLIMIT_FSIZE, &saved);
    if (how == QLatin1String("close"))
        trayCommand("MnuEnd")->trigger();
    else
        ::raise(SIGTERM);
    QTest::qWait(2000); // the signal arrives through the event loop
    return 3; // not reached: the program has ended
}

} // namespace

class TstTray : public QObject {
    Q_OBJECT
private slots:
    void trayIconAndItsMenu();
    void popupMenuTree();
    void menuCommandsShowAndHideNotes();
    void hideOfANoteNeverShownCreatesItSilentlyLater();
    void closeDuringAnAlertKeepsEverythingTyped();
    void closeWithUnsavedChangesAsks();
    void endSavesFirst_data();
    void endSavesFirst();
    void aTrayThatComesLateTakesTheIcon_data();
    void aTrayThatComesLateTakesTheIcon();
    void saveFailureReachesThePerson_data();
    void saveFailureReachesThePerson();
};

void TstTray::trayIconAndItsMenu()
{
    Harness h;
    h.trayHost.kind = TrayHost::Kind::XEmbed;
    Tackpad& app = h.start();
    QSystemTrayIcon* icon = trayIcon(app);
    QCOMPARE(icon->objectName(), QStringLiteral("TrayIcon1"));
    QCOMPARE(icon->toolTip(), QStringLiteral("System Tray Icon v.1.0"));
    QVERIFY(!icon->icon().isNull());
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->contextMenu(), trayMenu());
    // The activate notification opens the settings window.
    emit icon->activated(QSystemTrayIcon::Trigger);
    QVERIFY(settingsWindow().isVisible());
    QCOMPARE(icon->toolTip(), QStringLiteral("System Tray Icon v.1.0"));
}

void TstTray::popupMenuTree()
{
    TrayMenu tray;
    QMenu* menu = tray.MnuMenu;
    QCOMPARE(menu->objectName(), QStringLiteral("MnuMenu"));
    QCOMPARE(menu->title(), QStringLiteral("Menu"));
    QVERIFY(!menu->menuAction()->isVisible());
    QStringList top;
    for (QAction* a : menu->actions()) {
        top << (a->menu() ? a->menu()->objectName() : a->objectName()) + u'=' + a->text();
        QVERIFY(a->isEnabled());
        QVERIFY(!a->isChecked() && !a->isCheckable());
    }
    QCOMPARE(top,
        QStringList({ "MnuBlue=&Blue Note", "MnuGreen=&Green Note", "MnuRed=&Red Note",
            "MnuSetting=&Setting", "MnuEnd=&Close", "Mnuzovo=ZOVO" }));
    for (const char* w : { "Blue", "Green", "Red" }) {
        auto* sub = menu->findChild<QMenu*>(QStringLiteral("Mnu") + QLatin1String(w));
        QStringList items;
        for (QAction* a : sub->actions())
            items << a->objectName() + u'=' + a->text();
        QCOMPARE(items,
            QStringList({ QStringLiteral("MnuShow%1=Show").arg(QLatin1String(w)),
                QStringLiteral("MnuHide%1=Hide").arg(QLatin1String(w)) }));
    }
}

void TstTray::menuCommandsShowAndHideNotes()
{
    Harness h;
    h.start();
    const struct {
        QAction* show;
        QAction* hide;
        NoteColour colour;
    } items[] = { { trayCommand("MnuShowBlue"), trayCommand("MnuHideBlue"), NoteColour::Blue },
        { trayCommand("MnuShowGreen"), trayCommand("MnuHideGreen"), NoteColour::Green },
        { trayCommand("MnuShowRed"), trayCommand("MnuHideRed"), NoteColour::Red } };
    int tones = 0;
    for (const auto& item : items) {
        item.show->trigger();
        tones += 8;
        QVERIFY(noteShown(item.colour));
        QCOMPARE(h.ports.tones(), tones);
        const QPoint pos = noteWindow(item.colour)->pos();
        item.show->trigger(); // already visible: unchanged, silent
        QCOMPARE(noteWindow(item.colour)->pos(), pos);
        item.hide->trigger();
        QVERIFY(!noteShown(item.colour));
        QCOMPARE(h.ports.tones(), tones);
    }
    // None of the commands touches presets or the store.
    QVERIFY(h.store.changes().isEmpty());
}

void TstTray::hideOfANoteNeverShownCreatesItSilentlyLater()
{
    Harness h;
    h.store.set(QStringLiteral("Note/Green"), QStringLiteral("restored"));
    h.start();
    trayCommand("MnuHideGreen")->trigger();
    NoteWindow* green = noteWindow(NoteColour::Green);
    QVERIFY(green && !green->isVisible());
    QCOMPARE(noteTextBox(green)->toPlainText(), QStringLiteral("restored"));
    QCOMPARE(h.ports.tones(), 8);
    trayCommand("MnuShowGreen")->trigger();
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

void TstTray::closeWithUnsavedChangesAsks()
{
    Harness h;
    h.trayHost.kind = TrayHost::Kind::XEmbed;
    Tackpad& app = h.start();
    showNote(NoteColour::Red);
    h.store.failWrites = true;
    QTest::keyClicks(noteTextBox(noteWindow(NoteColour::Red)), QStringLiteral("abc"));
    rowOf(settingsWindow(), NoteColour::Blue).chkStart->click();
    h.store.calls.clear();
    trayCommand("MnuEnd")->trigger(); // no answer given: "Keep running", the default
    QCOMPARE(h.store.changes(), QStringList { QStringLiteral("Retry") });
    QCOMPARE(h.messages.asked.size(), 1);
    const QString text = h.messages.asked.first().second;
    for (const char* part :
        { "the Red note's text", "the Blue note's reminder", "No space left on device" })
        QVERIFY2(text.contains(QLatin1String(part)), qPrintable(text));
    QVERIFY(!text.contains(QLatin1String("Green")));
    QVERIFY(trayIcon(app)->isVisible());
    // The end of the session asks the same where it may, and only tries where it may not.
    QVERIFY(!app.sessionEnding(true));
    QCOMPARE(h.messages.asked.size(), 2);
    QVERIFY(app.sessionEnding(false));
    QCOMPARE(h.messages.asked.size(), 2);
    QCOMPARE(h.store.calls.count(QStringLiteral("Retry")), 3);
    // Still running, and still trying.
    h.store.failWrites = false;
    QTRY_COMPARE_WITH_TIMEOUT(
        h.store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("abc"), 5000);
    QCOMPARE(h.store.entries.value(QStringLiteral("Always/Blue")), QStringLiteral("ON"));
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("saveFailureMessage"))
            delete w;
    }
}

void TstTray::endSavesFirst_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("freed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Close after the disk is freed") << "close" << true << "saved unsaved";
    QTest::newRow("SIGTERM after the disk is freed") << "term" << true << "saved unsaved";
    QTest::newRow("Close anyway while full") << "close" << false << "saved ";
    QTest::newRow("SIGTERM, close anyway while full") << "term" << false << "saved ";
}

void TstTray::endSavesFirst()
{
    QFETCH(QString, how);
    QFETCH(bool, freed);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString storePath = dir.filePath(QStringLiteral("Tackpad/Tackpad.ini"));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--end-child"), storePath, how, freed ? "1" : "0" });
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    IniSettingsStore store(storePath);
    QCOMPARE(store.ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")), expected);
}

void TstTray::aTrayThatComesLateTakesTheIcon_data()
{
    QTest::addColumn<TrayHost::Kind>("kind");
    QTest::addColumn<int>("comesAfterMs"); // -1: never
    QTest::addColumn<bool>("askedMeanwhile"); // Setting chosen from the stand-in's menu
    QTest::addColumn<bool>("windowShown");
    using K = TrayHost::Kind;
    QTest::newRow("an XEmbed tray before the wait ends") << K::XEmbed << 30 << false << false;
    QTest::newRow("a host after the wait: the stand-in goes")
        << K::StatusNotifier << 200 << false << false;
    QTest::newRow("asked for meanwhile: the window stays")
        << K::StatusNotifier << 200 << true << true;
    QTest::newRow("no tray at all: the stand-in stays") << K::None << -1 << false << true;
}

void TstTray::aTrayThatComesLateTakesTheIcon()
{
    QFETCH(TrayHost::Kind, kind);
    QFETCH(int, comesAfterMs);
    QFETCH(bool, askedMeanwhile);
    QFETCH(bool, windowShown);
    Harness h;
    Tackpad& app = h.start();
    QVERIFY(!trayIcon(app));
    app.watchTray(100);
    QVERIFY(h.trayHost.watching);
    if (comesAfterMs >= 0)
        QTimer::singleShot(comesAfterMs, &app, [&] { h.trayHost.appear(kind); });
    if (askedMeanwhile)
        QTimer::singleShot(150, &app, [&] { trayCommand("MnuSetting")->trigger(); });
    QTest::qWait(300);
    QCOMPARE(settingsWindow().isVisible(), windowShown);
    QSystemTrayIcon* icon = trayIcon(app);
    QCOMPARE(bool(icon), comesAfterMs >= 0);
    if (icon) {
        QCOMPARE(icon->objectName(), QStringLiteral("TrayIcon1"));
        QCOMPARE(icon->parent(), &partOf<Tray>(app));
        QCOMPARE(icon->contextMenu(), trayMenu());
        QVERIFY(icon->isVisible());
        QVERIFY(!h.trayHost.watching);
    }
}

void TstTray::saveFailureReachesThePerson_data()
{
    QTest::addColumn<TrayHost::Kind>("kind");
    QTest::addColumn<bool>("service");
    QTest::addColumn<int>("notifications");
    QTest::addColumn<int>("windows");
    using K = TrayHost::Kind;
    QTest::newRow("XEmbed: the icon's own balloon") << K::XEmbed << false << 0 << 0;
    QTest::newRow("a host and a notification service") << K::StatusNotifier << true << 1 << 0;
    QTest::newRow("a host without a notification service") << K::StatusNotifier << false << 1 << 1;
    QTest::newRow("no tray") << K::None << true << 0 << 1;
}

void TstTray::saveFailureReachesThePerson()
{
    QFETCH(TrayHost::Kind, kind);
    QFETCH(bool, service);
    QFETCH(int, notifications);
    QFETCH(int, windows);
    Harness h;
    h.trayHost.kind = kind;
    h.notifications.available = service;
    h.start();
    h.store.failWrites = true;
    for (int i = 0; i < 3; ++i) // told once, however often it fails
        rowOf(settingsWindow(), NoteColour::Red).chkStart->click();
    QCOMPARE(h.notifications.sent.size(), notifications);
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("saveFailureMessage") && w->isVisible())
            boxes << qobject_cast<QMessageBox*>(w);
    }
    QCOMPARE(boxes.size(), windows);
    for (QMessageBox* box : boxes) {
        QVERIFY(!box->isModal());
        QVERIFY(box->text().contains(QLatin1String("No space left on device")));
    }
    qDeleteAll(boxes);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--close-child") == 0)
        return closeChild(QString::fromLocal8Bit(argv[2]));
    if (argc == 5 && qstrcmp(argv[1], "--end-child") == 0)
        return endChild(QString::fromLocal8Bit(argv[2]), QString::fromLatin1(argv[3]),
            qstrcmp(argv[4], "1") == 0);
    TstTray test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tray.moc"
