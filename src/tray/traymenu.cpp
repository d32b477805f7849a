// SPDX-License-Identifier: GPL-3.0-or-later
#include "traymenu.h"

#include "forms/mainform.h"
#include "notes/notes.h"
#include "platform/commandrunner.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QUrl>

TrayMenu::TrayMenu(MainForm& form, Notes& notes, CommandRunner& commands, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_notes(notes)
    , m_commands(commands)
{
    m_form.TrayIcon1->setContextMenu(m_form.MnuMenu);
    connect(m_form.TrayIcon1, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                emit settingsRequested();
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
    connect(m_form.MnuSetting, &QAction::triggered, this, &TrayMenu::settingsRequested);
    connect(m_form.MnuEnd, &QAction::triggered, this, &TrayMenu::closeRequested);
    connect(m_form.Mnuzovo, &QAction::triggered, this, &TrayMenu::Mnuzovo_Click);
}

QSystemTrayIcon* TrayMenu::TrayIcon1() const { return m_form.TrayIcon1; }

void TrayMenu::Mnuzovo_Click()
{
    // What the desktop does with the page is its business; a failure changes nothing here.
    m_commands.openWebPage(QUrl(webAddress()));
}
