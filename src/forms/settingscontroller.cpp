// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingscontroller.h"

#include "forms/mainform.h"
#include "forms/settingswindow.h"
#include "base/commandrunner.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
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

void SettingsController::ShowSettings() { m_window.setVisible(true); }

void SettingsController::ShowSettingsFocused()
{
    ShowSettings();
    m_window.raise();
    m_window.activateWindow();
    // The keyboard starts at the top row's note name unless it already is somewhere in here.
    QWidget* focus = m_window.focusWidget();
    if (!focus || !focus->isVisible())
        m_form.lblBlue->setFocus(Qt::ActiveWindowFocusReason);
}

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

bool SettingsController::labelKey(QObject* label, QKeyEvent* event)
{
    const int key = event->key();
    const bool press = event->type() == QEvent::KeyPress;
    if (label == m_form.Label13 || label == m_form.lblAd) {
        // Space held down is the button held down; the keyboard's repeats change nothing.
        if (key != Qt::Key_Space)
            return false;
        if (!event->isAutoRepeat()) {
            if (press)
                (label == m_form.Label13 ? m_form.txtInstruction : m_form.txtAd)->setVisible(true);
            else
                hideHelpBoxes();
        }
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return false;
    if (press && !event->isAutoRepeat())
        labelClicked(label);
    return true;
}

void SettingsController::labelClicked(QObject* label)
{
    if (label == m_form.lblRed)
        emit noteRequested(NoteColour::Red);
    else if (label == m_form.lblGreen)
        emit noteRequested(NoteColour::Green);
    else if (label == m_form.lblBlue)
        emit noteRequested(NoteColour::Blue);
    else if (label == m_form.lblTray)
        lblTray_Click();
    else if (label == m_form.lblMe)
        lblMe_Click();
}

bool SettingsController::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_window) {
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
            m_form.lblBlue->setFocus(Qt::ActiveWindowFocusReason);
        // Escape hides the window, as "Tray  >>" does; only what no control took reaches here.
        if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            lblTray_Click();
            return true;
        }
        return false;
    }
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease)
        return labelKey(watched, static_cast<QKeyEvent*>(event));
    if (type == QEvent::Shortcut && watched == m_form.lblTray) {
        lblTray_Click();
        return true;
    }
    if (type == QEvent::FocusOut && (watched == m_form.Label13 || watched == m_form.lblAd)) {
        hideHelpBoxes(); // Space was still held when the keyboard went elsewhere
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
    labelClicked(watched);
    return false;
}
