// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include "app/tackpad.h"
#include "base/clock.h"
#include "platform/commandrunner.h"
#include "platform/lazyiconstyle.h"
#include "platform/messagebox.h"
#include "platform/portio.h"
#include "platform/speakerfactory.h"
#include "platform/terminationsignal.h"
#include "platform/xdgautostart.h"
#include "store/inisettingsstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>

#include <cstdio>

namespace {

// Desktops start their panel after the autostart programs now and then.
constexpr int kTrayWaitMs = 5000;

void preferX11()
{
    // Staying on top and placing windows need X11; on Wayland use XWayland where it is there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

} // namespace

int runTackpad(int argc, char** argv)
{
    if (argc > 1) {
        // Options are answered before any window system is opened, so that --help and --version
        // also work without a display.
        QCoreApplication probe(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tackpad"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TACKPAD_VERSION));
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

    preferX11();
    QApplication app(argc, argv);
    QApplication::setStyle(new LazyIconStyle);
    QApplication::setApplicationName(QStringLiteral("Tackpad"));
    QApplication::setApplicationVersion(QStringLiteral(TACKPAD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.tackpad.Tackpad"));
    // Hidden notes and the hidden settings window must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    IniSettingsStore store(IniSettingsStore::defaultFilePath());
    SystemClock clock;
    XdgAutostart autostart;
    QtMessageBox messages;
    DesktopCommandRunner commands;
    const std::unique_ptr<PortIo> ports = createSpeakerPortsFromEnvironment();

    Tackpad tackpad({ store, clock, autostart, messages, *ports, commands });
    // The end of the session or a stop from outside saves first, and asks where that fails.
    TerminationSignal terminated;
    QObject::connect(&terminated, &TerminationSignal::received, &tackpad, &Tackpad::MnuEnd_Click);
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &tackpad, [&tackpad](QSessionManager& session) {
            const bool mayAsk = session.allowsInteraction();
            const bool end = tackpad.sessionEnding(mayAsk);
            if (mayAsk)
                session.release();
            if (!end)
                session.cancel();
        });

    tackpad.Form_Load();
    tackpad.settings().watchForTray(kTrayWaitMs);
    return app.exec();
}
