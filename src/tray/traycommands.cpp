// SPDX-License-Identifier: GPL-3.0-or-later
#include "traycommands.h"

#include "forms/mainform.h"
#include "notes/alert.h"
#include "notes/notes.h"
#include "platform/commandrunner.h"
#include "platform/portio.h"
#include "platform/windowsystem.h"

#include <QAction>
#include <QCursor>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
#include <QTimer>

TrayCommands::TrayCommands(MainForm& form, QWidget& frmMain, Notes& notes, CommandRunner& commands,
    PortIo& ports, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_frmMain(frmMain)
    , m_notes(notes)
    , m_commands(commands)
    , m_ports(ports)
{
    m_trayIcon = m_form.TrayIcon1;
    m_trayIcon->setContextMenu(m_form.MnuMenu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                ShowSettings();
        });

    const struct {
        QAction* show;
        QAction* hide;
        NoteColour colour;
    } noteItems[] = {
        { m_form.MnuShowBlue, m_form.MnuHideBlue, NoteColour::Blue },
        { m_form.MnuShowGreen, m_form.MnuHideGreen, NoteColour::Green },
        { m_form.MnuShowRed, m_form.MnuHideRed, NoteColour::Red },
    };
    for (const auto& item : noteItems) {
        const NoteColour c = item.colour;
        connect(item.show, &QAction::triggered, this, [this, c] { m_notes.Show(c); });
        connect(item.hide, &QAction::triggered, this, [this, c] { m_notes.Hide(c); });
    }
    connect(m_form.MnuSetting, &QAction::triggered, this, &TrayCommands::ShowSettings);
    connect(m_form.MnuEnd, &QAction::triggered, this, &TrayCommands::MnuEnd_Click);
    connect(m_form.Mnuzovo, &QAction::triggered, this, &TrayCommands::OpenWebPage);
    connect(m_form.tmrMe, &QTimer::timeout, this, &TrayCommands::tmrMe_Timer);

    for (QLabel* label : { m_form.lblRed, m_form.lblGreen, m_form.lblBlue, m_form.lblTray,
             m_form.lblMe, m_form.Label13, m_form.lblAd })
        label->installEventFilter(this);
    m_frmMain.installEventFilter(this);
}

TrayCommands::~TrayCommands() = default;

void TrayCommands::watchForTray(int timeoutMs)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return;
    // Panels often start after the programs of the autostart list: give one time to appear.
    const QDeadlineTimer deadline(timeoutMs);
    m_trayWatch = new QTimer(this);
    m_trayWatch->setInterval(250);
    connect(m_trayWatch, &QTimer::timeout, this, [this, deadline] {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            m_trayWatch->stop();
            m_trayIcon->show();
        } else if (deadline.hasExpired()) {
            m_trayWatch->stop();
            ShowSettings();
        }
    });
    m_trayWatch->start();
}

void TrayCommands::reportSaveFailure(const QString& reason)
{
    if (m_saveFailureReported)
        return;
    m_saveFailureReported = true;
    const QString title = QStringLiteral("Tackpad cannot save your notes");
    const QString text
        = QStringLiteral("%1\nYour text stays on screen and is saved as soon as "
                         "saving works again.")
              .arg(reason.isEmpty() ? QStringLiteral("The settings file cannot be written.")
                                    : reason);
    if (QSystemTrayIcon::isSystemTrayAvailable() && m_trayIcon->isVisible()) {
        m_trayIcon->showMessage(title, text, QSystemTrayIcon::Warning, 15000);
        return;
    }
    // No tray to carry the message: a box that does not block typing.
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("saveFailureMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->show();
}

void TrayCommands::reportSaveRecovered()
{
    // Tell again if saving fails later on.
    m_saveFailureReported = false;
}

void TrayCommands::ShowSettings() { m_frmMain.setVisible(true); }

void TrayCommands::lblTray_Click() { m_frmMain.setVisible(false); }

void TrayCommands::tmrMe_Timer()
{
    m_showingAddress = !m_showingAddress;
    m_form.lblMe->setText(m_showingAddress ? webAddress() : creditText());
}

void TrayCommands::OpenWebPage()
{
    // What the desktop does with the page is its business; a failure changes nothing here.
    m_commands.run(QStringLiteral("start ") + webAddress());
}

void TrayCommands::MnuEnd_Click()
{
    emit ending();
    m_trayIcon->hide();
    // A tone may be sounding: silence the speaker, since no alert will end it.
    m_ports.vbOut(
        Alert::kControlPort, qint16(m_ports.vbInp(Alert::kControlPort) & Alert::kSpeakerOff));
    WindowSystem::endProcessNow();
}

void TrayCommands::PopupMenu() { m_form.MnuMenu->popup(QCursor::pos()); }

bool TrayCommands::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_frmMain) {
        if (type == QEvent::ContextMenu) {
            PopupMenu();
            return true;
        }
        return false;
    }
    if (type == QEvent::MouseButtonPress) {
        if (watched == m_form.Label13)
            m_form.txtInstruction->setVisible(true);
        else if (watched == m_form.lblAd)
            m_form.txtAd->setVisible(true);
        return false;
    }
    if (type != QEvent::MouseButtonRelease)
        return false;
    if (watched == m_form.Label13) {
        m_form.txtInstruction->setVisible(false);
        return false;
    }
    if (watched == m_form.lblAd) {
        m_form.txtAd->setVisible(false);
        return false;
    }
    // A click: the left button released over the label it was pressed on.
    auto* e = static_cast<QMouseEvent*>(event);
    auto* label = static_cast<QWidget*>(watched);
    if (e->button() != Qt::LeftButton || !label->rect().contains(e->position().toPoint()))
        return false;
    if (watched == m_form.lblRed)
        m_notes.Show(NoteColour::Red);
    else if (watched == m_form.lblGreen)
        m_notes.Show(NoteColour::Green);
    else if (watched == m_form.lblBlue)
        m_notes.Show(NoteColour::Blue);
    else if (watched == m_form.lblTray)
        lblTray_Click();
    else if (watched == m_form.lblMe)
        OpenWebPage();
    return false;
}
