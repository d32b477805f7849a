// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include "app/clock.h"
#include "app/settingsstore.h"
#include "notes/notes.h"
#include "platform/autostart.h"
#include "platform/messagebox.h"
#include "platform/windowsystem.h"
#include "schedule/datetext.h"
#include "schedule/presets.h"
#include "schedule/reminders.h"
#include "tray/traycommands.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>

namespace {

const QString kOn = QStringLiteral("ON");
// How often a failed save is tried again while nothing else writes.
constexpr int kSaveRetryMs = 2000;

} // namespace

QString fixedProgramPath() { return QStringLiteral(TACKPAD_PROGRAM_PATH); }

SettingsWindow::SettingsWindow() = default;

void SettingsWindow::setVisible(bool visible)
{
    if (visible && !isVisible())
        WindowSystem::prepareShow(this, m_everShown);
    QWidget::setVisible(visible);
}

Tackpad::Tackpad(Platform platform)
    : m_platform(platform)
    , m_window(std::make_unique<SettingsWindow>())
{
    m_form.setupUi(m_window.get());
    m_notes = std::make_unique<Notes>(m_platform.store, m_platform.ports);
    m_presets = new PresetEditor(m_form, m_platform.store, this);
    m_reminders = new Reminders(
        m_form, m_platform.clock, [this](NoteColour c) { m_notes->Show(c); }, this);
    m_tray = new TrayCommands(
        m_form, *m_window, *m_notes, m_platform.commands, m_platform.ports, this);
    m_saveRetry = new QTimer(this);
    m_saveRetry->setSingleShot(true);
    m_saveRetry->setInterval(kSaveRetryMs);
    m_saveRetry->setTimerType(Qt::VeryCoarseTimer);
    connect(m_saveRetry, &QTimer::timeout, this, [this] {
        if (m_platform.store.retrySave())
            m_tray->reportSaveRecovered();
        else
            m_saveRetry->start();
    });
    connect(m_notes.get(), &Notes::saveFailed, this, &Tackpad::saveFailed);
    connect(m_presets, &PresetEditor::saveFailed, this, &Tackpad::saveFailed);
    connect(m_notes.get(), &Notes::saved, this, [this] {
        // A write that succeeds saves whatever earlier ones left behind.
        m_saveRetry->stop();
        m_tray->reportSaveRecovered();
    });
}

void Tackpad::saveFailed(const QString& reason)
{
    m_tray->reportSaveFailure(reason);
    m_saveRetry->start();
}

Tackpad::~Tackpad()
{
    // Notes and the tray refer to the form's controls: let them go first.
    delete m_tray;
    m_notes.reset();
}

void Tackpad::Form_Load()
{
    RegisterAutostart();
    WindowSystem::makeTopmost(m_window.get());
    const QDateTime now = m_platform.clock.now();
    m_form.txtSysDate->setText(DateText::formatDate(now.date()));
    m_form.txtSysTime->setText(DateText::formatTime(now.time()));
    for (NoteColour c : kBlueGreenRed)
        RestorePresets(c);
}

void Tackpad::RegisterAutostart()
{
    if (!m_platform.autostart.registerProgram(QStringLiteral("Tackpad"), fixedProgramPath()))
        m_platform.messages.showMessage(
            QStringLiteral("Tackpad"), QStringLiteral("OpenKey failed."));
}

void Tackpad::RestorePresets(NoteColour colour)
{
    SettingsStore& store = m_platform.store;
    const QString word = colourWord(colour);
    const NoteRow row = m_form.row(colour);

    // Each restored value goes through the control's own handler, as if the user had set it.
    if (const QString date = store.ReadSetting(QStringLiteral("Date"), word); !date.isEmpty())
        row.txtDate->setText(date);
    if (const QString hour = store.ReadSetting(QStringLiteral("Hour"), word); !hour.isEmpty())
        row.txtHour->setText(hour);
    if (const QString min = store.ReadSetting(QStringLiteral("Min"), word); !min.isEmpty())
        row.txtMin->setText(min);
    if (store.ReadSetting(QStringLiteral("Timer"), word) == kOn) {
        row.chkDate->setChecked(true);
        armCheck(row.tmrDate);
    }
    if (store.ReadSetting(QStringLiteral("Timer"), word + QLatin1Char('1')) == kOn) {
        row.chkTime->setChecked(true);
        armCheck(row.tmrTime);
    }
    if (store.ReadSetting(QStringLiteral("Always"), word) == kOn) {
        row.chkStart->setChecked(true);
        m_notes->Show(colour);
    }
}
