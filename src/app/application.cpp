// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include "app/tackpad.h"
#include "base/buildinfo.h"
#include "base/intervals.h"
#include "base/portio.h"
#include "platform/desktopcommandrunner.h"
#include "platform/desktopnotifications.h"
#include "platform/desktoptrayhost.h"
#include "platform/layershell.h"
#include "platform/qtmessagebox.h"
#include "platform/settingsfile/inisettingsstore.h"
#include "platform/singleinstance.h"
#include "platform/speaker/speakerfactory.h"
#include "platform/systemclock.h"
#include "platform/systemwallclockalarm.h"
#include "platform/windowsystem.h"
#include "platform/xdgautostart.h"
#include "widgets/accessiblelineedit.h"
#include "widgets/lazyiconstyle.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmapCache>

#include <cstdio>

namespace {

// How long a second start waits for the running copy to take its request.
constexpr int kHandOverWaitMs = 3000;

void chooseWindowSystem()
{
    // Where the compositor offers layer surfaces, notes live on Wayland itself, above every
    // window and off every task list; Qt falls back to XWayland if its Wayland plugin is missing.
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    QString layerRefusal;
    if ((asked.isEmpty() || asked == "wayland") && LayerShell::offered(&layerRefusal)) {
        qputenv("QT_QPA_PLATFORM", asked.isEmpty() ? "wayland;xcb" : "wayland");
        LayerShell::enable();
        return;
    }
    // A compositor that offers layer surfaces but refused one: notes as other windows, said once.
    const QByteArray refused = layerRefusal.isEmpty()
        ? QByteArray()
        : "the compositor refused a note's layer surface (" + layerRefusal.toLocal8Bit() + ")";
    // Staying on top and placing windows need X11; on Wayland use XWayland where it is there.
    if (!asked.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")
        || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        if (!refused.isEmpty())
            std::fprintf(stderr, "tackpad: %s; notes are ordinary windows\n", refused.constData());
        return;
    }
    const QString refusal = WindowSystem::x11Refusal();
    if (refusal.isEmpty()) {
        if (!refused.isEmpty())
            std::fprintf(stderr, "tackpad: %s; notes are X11 windows through XWayland\n",
                refused.constData());
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
        return;
    }
    // Qt would try XWayland again and fall back with lines of its own that do not say so.
    const QByteArray also = refused.isEmpty() ? QByteArray() : "; " + refused;
    std::fprintf(stderr,
        "tackpad: cannot use XWayland on DISPLAY=%s (%s)%s; going on with Wayland directly, where "
        "notes are not kept above other windows\n",
        qgetenv("DISPLAY").constData(), qPrintable(refusal), also.constData());
    qputenv("QT_QPA_PLATFORM", "wayland");
}

} // namespace

int runTackpad(int argc, char** argv)
{
    if (argc > 1) {
        // Options are answered before any window system is opened, so that --help and --version
        // also work without a display.
        QCoreApplication probe(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tackpad"));
        QCoreApplication::setApplicationVersion(BuildInfo::version());
        QCommandLineParser parser;
        parser.setApplicationDescription(QStringLiteral(
            "Three coloured sticky notes that pop up at a date, a time or every start."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.process(probe); // ends the program for --help, --version and unknown options
        if (!parser.positionalArguments().isEmpty()) {
            std::fprintf(stderr, "tackpad: takes no arguments; see --help\n");
            return 2;
        }
    }

    // One copy per store: a second would write its own notes over the first one's. The check
    // comes before anything is written or any window system is opened.
    const QString storePath = IniSettingsStore::defaultFilePath();
    SingleInstance instance(storePath);
    switch (instance.claim(kHandOverWaitMs)) {
    case SingleInstance::Claim::HandedOver:
        return 0;
    case SingleInstance::Claim::NoAnswer:
        std::fprintf(stderr,
            "tackpad: another copy runs on %s but does not answer; not starting a second one\n",
            qPrintable(storePath));
        return 1;
    case SingleInstance::Claim::First:
    case SingleInstance::Claim::Unlockable: // a folder that cannot hold a lock: start as ever
        break;
    }

    chooseWindowSystem();
    QApplication app(argc, argv);
    AccessibleLineEdit::install();
    if (LayerShell::enabled() && QGuiApplication::platformName() != QLatin1String("wayland"))
        std::fprintf(stderr,
            "tackpad: Qt's Wayland plugin is missing; notes are X11 windows through XWayland\n");
    QApplication::setStyle(new LazyIconStyle);
    // Whatever enters Qt's pixmap cache (an icon the tray reads, a styled control) is trimmed by
    // a timer that wakes the program every 10 to 30 s for minutes after. What Tackpad draws is
    // small and quickly drawn again: without the cache it sleeps once it is at rest.
    QPixmapCache::setCacheLimit(0);
    QApplication::setApplicationName(QStringLiteral("Tackpad"));
    QApplication::setApplicationVersion(BuildInfo::version());
    QApplication::setDesktopFileName(QStringLiteral("org.tackpad.Tackpad"));
    // Hidden notes and the hidden settings window must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    IniSettingsStore store(storePath);
    SystemClock clock;
    XdgAutostart autostart;
    QtMessageBox messages;
    DesktopCommandRunner commands;
    SystemWallClockAlarm alarm;
    const std::unique_ptr<PortIo> ports = createSpeakerPortsFromEnvironment();
    DesktopTrayHost trayHost;
    DesktopNotifications notifications;

    Tackpad tackpad(
        { store, clock, autostart, messages, *ports, commands, alarm, &trayHost, &notifications });
    // Later starts are answered once the event loop runs, after start-up.
    QObject::connect(
        &instance, &SingleInstance::activationRequested, &tackpad, &Tackpad::startedAgain);
    instance.listen();

    tackpad.Form_Load();
    tackpad.watchTray(intervals().trayWaitMs);
    return app.exec();
}
