// SPDX-License-Identifier: GPL-3.0-or-later
#include "tackpad.h"

#include "base/buildinfo.h"
#include "base/clock.h"
#include "base/intervals.h"
#include "base/settingsstore.h"
#include "base/storekeys.h"
#include "notes/alert.h"
#include "base/autostart.h"
#include "base/messagebox.h"
#include "base/notifications.h"
#include "platform/processsignal.h"
#include "base/trayhost.h"
#include "platform/windowsystem.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace {

// What the user would lose, in words: "the Red note's text", "the Blue note's reminder".
QStringList describeUnsaved(const QList<QPair<QString, QString>>& entries)
{
    QStringList out;
    for (NoteColour c : kAllNotes) {
        bool text = false, presets = false;
        for (const auto& [section, key] : entries) {
            const auto entry = storeEntryAt(section, key);
            if (entry && entry->second == c)
                (entry->first == StoreEntry::NoteText ? text : presets) = true;
        }
        if (text)
            out << QStringLiteral("the %1 note's text").arg(colourWord(c));
        if (presets)
            out << QStringLiteral("the %1 note's reminder").arg(colourWord(c));
    }
    return out;
}

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
    , m_tray(trayHostOf(m_platform), notificationsOf(m_platform))
    , m_notes(m_platform.store, m_platform.ports)
    , m_reminders(m_window.form(), m_platform.clock, m_platform.alarm,
          [this](NoteColour c) { m_notes.PopUp(c); })
    , m_presets(m_window.form(), m_platform.store, m_reminders,
          [this](NoteColour c) { m_notes.PopUp(c); })
    , m_settings(m_window, m_platform.commands)
{
    m_tray.attach(m_window);
    connect(&m_settings, &SettingsController::noteRequested, &m_notes, &Notes::Show);
    WindowSystem::watchScreens();
    // The user asked for the window: a tray that comes later leaves it open.
    connect(&m_tray, &Tray::settingsRequested, &m_tray, &Tray::settingsAsked);
    TrayMenu& menu = m_tray.menu();
    connect(&menu, &TrayMenu::settingsRequested, &m_tray, &Tray::settingsAsked);
    connect(&m_tray, &Tray::settingsRequested, &m_settings, &SettingsController::ShowSettings);
    connect(&menu, &TrayMenu::settingsRequested, &m_settings, &SettingsController::ShowSettings);
    connect(&menu, &TrayMenu::showNoteRequested, &m_notes, &Notes::Show);
    connect(&menu, &TrayMenu::hideNoteRequested, &m_notes, &Notes::Hide);
    // The credit line's command: one way to the page, whichever control asks.
    connect(&menu, &TrayMenu::webPageRequested, &m_settings, &SettingsController::lblMe_Click);
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

    m_saveRetry.setSingleShot(true);
    m_saveRetry.setInterval(intervals().saveRetryMs);
    m_saveRetry.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_saveRetry, &QTimer::timeout, this, [this] {
        if (m_platform.store.retrySave())
            m_tray.reportSaveRecovered();
        else
            m_saveRetry.start();
    });
    connect(&m_notes, &Notes::saveFailed, this, &Tackpad::handleFailedSave);
    connect(&m_presets, &PresetEditor::saveFailed, this, &Tackpad::handleFailedSave);
    connect(&m_notes, &Notes::saved, this, [this] {
        // A note saved again after a failure: that write saved whatever earlier ones left behind.
        m_saveRetry.stop();
        m_tray.reportSaveRecovered();
    });
}

Tackpad::~Tackpad() = default;

void Tackpad::startedAgain()
{
    m_tray.settingsAsked();
    m_settings.ShowSettingsFocused();
}

void Tackpad::handleFailedSave(const QString& reason)
{
    m_tray.reportSaveFailure(reason);
    m_saveRetry.start();
}

void Tackpad::Form_Load()
{
    RegisterAutostart();
    m_window.makeTopmost();
    m_reminders.startClock();
    for (NoteColour c : kBlueGreenRed)
        m_presets.RestorePresets(c);
}

void Tackpad::RegisterAutostart()
{
    if (!m_platform.autostart.registerProgram(
            QStringLiteral("Tackpad"), BuildInfo::fixedProgramPath()))
        m_platform.messages.showMessage(
            QStringLiteral("Tackpad"), QStringLiteral("OpenKey failed."));
}

bool Tackpad::readyToEnd()
{
    if (m_platform.store.retrySave())
        return true;
    if (m_asking)
        return false; // the question is on screen already
    m_asking = true;
    const QStringList lost = describeUnsaved(m_platform.store.unsavedEntries());
    const QString text
        = QStringLiteral("Tackpad could not save %1.\n%2\n\nIf it closes now, these changes are "
                         "lost. If it keeps running, it tries again every few seconds.")
              .arg(lost.isEmpty() ? QStringLiteral("your latest changes")
                                  : lost.join(QStringLiteral(", ")),
                  saveFailureReason(m_platform.store.errorString()));
    const bool closeAnyway
        = m_platform.messages.ask(QStringLiteral("Tackpad cannot save your notes"), text,
            QStringLiteral("Close anyway"), QStringLiteral("Keep running"));
    m_asking = false;
    if (!closeAnyway)
        m_saveRetry.start();
    return closeAnyway;
}

bool Tackpad::sessionEnding(bool mayAsk)
{
    if (mayAsk)
        return readyToEnd();
    m_platform.store.retrySave(); // nobody to ask: the one last try is all there is
    return true;
}

void Tackpad::MnuEnd_Click()
{
    if (readyToEnd())
        endNow();
}

void Tackpad::endNow()
{
    m_tray.hideIcon();
    // A tone may be sounding: silence the speaker, since no alert will end it.
    Alert::silence(m_platform.ports);
    WindowSystem::endProcessNow();
}
