// SPDX-License-Identifier: GPL-3.0-or-later
#include "notes.h"

#include "notes/notewindow.h"

Notes::Notes(SettingsStore& store, PortIo& ports, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_ports(ports)
{
}

Notes::~Notes() = default;

void Notes::Show(NoteColour colour)
{
    NoteWindow& w = window(colour);
    if (!w.isVisible()) {
        w.show();
        return;
    }
    // Showing a shown window changes nothing, yet the person asked for this note: it comes to the
    // front with the keyboard in it, as a hidden one would.
    w.bringForward();
}

void Notes::PopUp(NoteColour colour) { window(colour).popUp(); }

void Notes::Hide(NoteColour colour) { window(colour).hide(); }

NoteWindow& Notes::window(NoteColour colour)
{
    auto& slot = m_windows[size_t(colour)];
    if (!slot) {
        // The slot is filled before the load step, whose alert lets other requests run: they
        // find this window and never create a second one.
        slot = std::make_unique<NoteWindow>(colour, m_store, m_ports);
        NoteWindow& w = *slot;
        emit created(colour);
        w.Form_Load();
    }
    return *slot;
}
