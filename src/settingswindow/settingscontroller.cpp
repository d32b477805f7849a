// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingscontroller.h"

#include "base/buildinfo.h"
#include "base/commandrunner.h"
#include "settingswindow/helptext.h"
#include "settingswindow/settingsform.h"
#include "settingswindow/settingswindow.h"
#include "widgets/announcement.h"
#include "widgets/commandlabel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>

SettingsController::SettingsController(
    SettingsWindow& window, SettingsForm& form, CommandRunner& commands, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_form(form)
    , m_commands(commands)
{
    connect(m_form.tmrMe, &QTimer::timeout, this, &SettingsController::tmrMe_Timer);
    for (NoteColour c : kAllNotes) {
        connect(
            m_form.row(c).lbl, &CommandLabel::clicked, this, [this, c] { emit noteRequested(c); });
    }
    connect(m_form.lblTray, &CommandLabel::clicked, this, &SettingsController::lblTray_Click);
    connect(m_form.lblMe, &CommandLabel::clicked, this, &SettingsController::lblMe_Click);
    const struct {
        CommandLabel* label;
        QPlainTextEdit* box;
    } helps[] = { { m_form.Label13, m_form.txtInstruction }, { m_form.lblAd, m_form.txtAd } };
    for (const auto& h : helps) {
        QPlainTextEdit* box = h.box;
        connect(h.label, &CommandLabel::held, this, [this, box] {
            box->show();
            // The box never has the keyboard, so a screen reader hears it only this way.
            m_form.helpSpoken->setAccessibleName(box->accessibleName());
            m_form.helpSpoken->announce(box->toPlainText().simplified());
        });
    }
    for (CommandLabel* help : { m_form.Label13, m_form.lblAd })
        connect(help, &CommandLabel::letGo, this, &SettingsController::hideHelpBoxes);
    m_window.installEventFilter(this);
}

void SettingsController::ShowSettings() { m_window.setVisible(true); }

void SettingsController::ShowSettingsFocused()
{
    ShowSettings();
    m_window.bringForward();
    // The keyboard starts at the top row's note name unless it already is somewhere in here.
    QWidget* focus = m_window.focusWidget();
    if (!focus || !focus->isVisible())
        m_form.row(NoteColour::Blue).lbl->setFocus(Qt::ActiveWindowFocusReason);
}

void SettingsController::lblTray_Click() { m_window.setVisible(false); }

void SettingsController::tmrMe_Timer()
{
    m_showingAddress = !m_showingAddress;
    m_form.lblMe->setText(m_showingAddress ? BuildInfo::webAddress() : creditText());
}

void SettingsController::lblMe_Click()
{
    // What the desktop does with the page is its business; a failure changes nothing here.
    m_commands.openWebPage(QUrl(BuildInfo::webAddress()));
}

void SettingsController::hideHelpBoxes()
{
    m_form.txtInstruction->setVisible(false);
    m_form.txtAd->setVisible(false);
    m_form.helpSpoken->withdraw();
}

bool SettingsController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    const QEvent::Type type = event->type();
    // A release that never reached its label (the window lost the pointer or the focus to
    // another program) must not leave a help box over the rows.
    if (type == QEvent::WindowDeactivate || type == QEvent::Hide)
        hideHelpBoxes();
    // The credit line changes only where someone can see it.
    if (type == QEvent::Show)
        m_form.tmrMe->start();
    else if (type == QEvent::Hide)
        m_form.tmrMe->stop();
    // The keyboard starts on the top row's note name, the first stop of Tab.
    if (type == QEvent::Show && !m_window.focusWidget())
        m_form.row(NoteColour::Blue).lbl->setFocus(Qt::ActiveWindowFocusReason);
    // Escape hides the window, as "Tray  >>" does; only what no control took reaches here.
    if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        lblTray_Click();
        return true;
    }
    return false;
}
