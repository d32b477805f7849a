// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingscontroller.h"

#include "base/settingsstore.h"
#include "forms/mainform.h"
#include "forms/settingswindow.h"
#include "platform/commandrunner.h"

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
#include <QUrl>

SettingsController::SettingsController(
    SettingsWindow& window, CommandRunner& commands, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_form(window.form())
    , m_commands(commands)
{
    connect(m_form.tmrMe, &QTimer::timeout, this, &SettingsController::tmrMe_Timer);
    for (QLabel* label : { m_form.lblRed, m_form.lblGreen, m_form.lblBlue, m_form.lblTray,
             m_form.lblMe, m_form.Label13, m_form.lblAd })
        label->installEventFilter(this);
    // A menu opened from a help label would take the release that hides its box.
    m_form.Label13->setContextMenuPolicy(Qt::PreventContextMenu);
    m_form.lblAd->setContextMenuPolicy(Qt::PreventContextMenu);
    m_window.installEventFilter(this);
}

void SettingsController::watchForTray(int timeoutMs)
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
            m_form.TrayIcon1->show();
        } else if (deadline.hasExpired()) {
            m_trayWatch->stop();
            ShowSettings();
        }
    });
    m_trayWatch->start();
}

bool SettingsController::trayShown() const
{
    return QSystemTrayIcon::isSystemTrayAvailable() && m_form.TrayIcon1->isVisible();
}

void SettingsController::reportSaveFailure(const QString& reason)
{
    if (m_saveFailureReported)
        return;
    m_saveFailureReported = true;
    const QString title = QStringLiteral("Tackpad cannot save your notes");
    const QString text = QStringLiteral("%1\nYour text stays on screen and is saved as soon as "
                                        "saving works again.")
                             .arg(saveFailureReason(reason));
    if (trayShown()) {
        m_form.TrayIcon1->showMessage(title, text, QSystemTrayIcon::Warning, 15000);
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

void SettingsController::reportSaveRecovered()
{
    // Tell again if saving fails later on.
    m_saveFailureReported = false;
}

void SettingsController::ShowSettings() { m_window.setVisible(true); }

void SettingsController::lblTray_Click() { m_window.setVisible(false); }

void SettingsController::tmrMe_Timer()
{
    m_showingAddress = !m_showingAddress;
    m_form.lblMe->setText(m_showingAddress ? webAddress() : creditText());
}

void SettingsController::lblMe_Click()
{
    // What the desktop does with the page is its business; a failure changes nothing here.
    m_commands.openWebPage(QUrl(webAddress()));
}

void SettingsController::hideHelpBoxes()
{
    m_form.txtInstruction->setVisible(false);
    m_form.txtAd->setVisible(false);
}

bool SettingsController::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_window) {
        // A release that never reached its label (the window lost the pointer or the focus to
        // another program) must not leave a help box over the rows.
        if (type == QEvent::WindowDeactivate || type == QEvent::Hide)
            hideHelpBoxes();
        // The menu belongs to the tray icon; the window carries it only while there is none.
        if (type == QEvent::ContextMenu && !trayShown()) {
            m_form.MnuMenu->popup(QCursor::pos());
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
    if (watched == m_form.Label13 || watched == m_form.lblAd) {
        // Whatever the button and wherever the pointer is now.
        hideHelpBoxes();
        return false;
    }
    // A click: the left button released over the label it was pressed on.
    auto* e = static_cast<QMouseEvent*>(event);
    auto* label = static_cast<QWidget*>(watched);
    if (e->button() != Qt::LeftButton || !label->rect().contains(e->position().toPoint()))
        return false;
    if (watched == m_form.lblRed)
        emit noteRequested(NoteColour::Red);
    else if (watched == m_form.lblGreen)
        emit noteRequested(NoteColour::Green);
    else if (watched == m_form.lblBlue)
        emit noteRequested(NoteColour::Blue);
    else if (watched == m_form.lblTray)
        lblTray_Click();
    else if (watched == m_form.lblMe)
        lblMe_Click();
    return false;
}
