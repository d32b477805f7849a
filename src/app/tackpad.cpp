// SPDX-License-Identifier: GPL-3.0-or-later
#include "tackpad.h"

#include "base/autostart.h"
#include "base/buildinfo.h"
#include "base/clock.h"
#include "base/messagebox.h"
#include "base/notifications.h"
#include "base/trayhost.h"
#include "notes/alert.h"
#include "platform/processsignal.h"
#include "platform/windowsystem.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace {

// Stand-ins for a desktop without a notification area or a notification service.
class NoTray final : public TrayHost {
public:
    Kind current() const override { return Kind::None; }
    void watch() override { }
    void stopWatching() override { }
};

class NoNotifications final : public Notifications {
public:
    void notify(const QString&, const QString&, std::function<void(bool)> done) override
    {
        done(false);
    }
};

TrayHost& trayHostOf(const Platform& platform)
{
    static NoTray none;
    return platform.trayHost ? *platform.trayHost : none;
}

Notifications& notificationsOf(const Platform& platform)
{
    static NoNotifications none;
    return platform.notifications ? *platform.notifications : none;
}

} // namespace

Tackpad::Tackpad(Platform platform)
    : m_platform(platform)
    , m_terminated(std::make_unique<ProcessSignal>(ProcessSignal::Kind::Terminate))
    , m_tray(trayHostOf(m_platform), notificationsOf(m_platform), this)
    , m_saves(m_platform.store, m_platform.messages)
    , m_window(m_saves, m_platform.clock, m_platform.alarm, m_platform.commands)
    , m_notes(m_saves, m_platform.ports, this)
{
    m_tray.attach(m_window);
    connect(&m_window, &SettingsWindow::noteRequested, &m_notes, &Notes::Show);
    connect(&m_window, &SettingsWindow::noteDue, &m_notes, &Notes::PopUp);
    WindowSystem::watchScreens();
    // The user asked for the window: a tray that comes later leaves it open.
    connect(&m_tray, &Tray::settingsRequested, &m_tray, &Tray::settingsAsked);
    TrayMenu& menu = m_tray.menu();
    connect(&menu, &TrayMenu::settingsRequested, &m_tray, &Tray::settingsAsked);
    connect(&m_tray, &Tray::settingsRequested, &m_window, &SettingsWindow::ShowSettings);
    connect(&menu, &TrayMenu::settingsRequested, &m_window, &SettingsWindow::ShowSettings);
    connect(&menu, &TrayMenu::showNoteRequested, &m_notes, &Notes::Show);
    connect(&menu, &TrayMenu::hideNoteRequested, &m_notes, &Notes::Hide);
    // The credit line's command: one way to the page, whichever control asks.
    connect(&menu, &TrayMenu::webPageRequested, &m_window, &SettingsWindow::lblMe_Click);
    connect(&menu, &TrayMenu::closeRequested, this, &Tackpad::MnuEnd_Click);

    // The end of the session or a stop from outside saves first, and asks where that fails.
    connect(m_terminated.get(), &ProcessSignal::received, this, &Tackpad::MnuEnd_Click);
    if (qGuiApp) {
        connect(
            qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
                const bool mayAsk = session.allowsInteraction();
                const bool end = sessionEnding(mayAsk);
                if (mayAsk)
                    session.release();
                if (!end)
                    session.cancel();
            });
    }

    connect(&m_saves, &SaveKeeper::failureToTell, &m_tray, &Tray::reportSaveFailure);
}

Tackpad::~Tackpad() = default;

void Tackpad::startedAgain()
{
    m_tray.settingsAsked();
    m_window.ShowSettingsFocused();
}

void Tackpad::watchTray(int standInMs) { m_tray.watch(standInMs); }

void Tackpad::Form_Load()
{
    RegisterAutostart();
    m_window.makeTopmost();
    m_window.startClock();
    for (NoteColour c : kBlueGreenRed)
        m_window.RestorePresets(c);
}

void Tackpad::RegisterAutostart()
{
    if (!m_platform.autostart.registerProgram(
            QStringLiteral("Tackpad"), BuildInfo::fixedProgramPath()))
        m_platform.messages.showMessage(
            QStringLiteral("Tackpad"), QStringLiteral("OpenKey failed."));
}

bool Tackpad::sessionEnding(bool mayAsk) { return m_saves.sessionEnding(mayAsk); }

void Tackpad::MnuEnd_Click()
{
    if (m_saves.readyToEnd())
        endNow();
}

void Tackpad::endNow()
{
    m_tray.hideIcon();
    // A tone may be sounding: silence the speaker, since no alert will end it.
    Alert::silence(m_platform.ports);
    WindowSystem::endProcessNow();
}
