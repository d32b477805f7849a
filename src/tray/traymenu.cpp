// SPDX-License-Identifier: GPL-3.0-or-later
#include "traymenu.h"

#include "forms/mainform.h"
#include "forms/settingscontroller.h"
#include "notes/notes.h"

#include <QAction>
#include <QMenu>

TrayMenu::TrayMenu(MainForm& form, Notes& notes, SettingsController& settings, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_notes(notes)
    , m_settings(settings)
{
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

// The credit line's command: one way to the page, whichever control asks.
void TrayMenu::Mnuzovo_Click() { m_settings.lblMe_Click(); }
