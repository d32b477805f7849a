// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "notes/noteform.h"
#include "widgets/floatingwindow.h"

class Announcement;
class NoteCaret;
class NoteGestures;
class NoteWrapping;
class PortIo;
class SettingsStore;
class SpeakerAlert;

/// One sticky note: a frameless topmost window filled by its text box. It is loaded once with
/// the text of the store and its alert, then shown and hidden; its text is written to the store
/// on every change. Its gestures, caret, wrapping and alert are objects of their own.
class NoteWindow final : public FloatingWindow {
    Q_OBJECT
public:
    NoteWindow(NoteColour colour, SettingsStore& store, PortIo& ports);
    NoteWindow(const NoteWindow&) = delete;
    NoteWindow& operator=(const NoteWindow&) = delete;

    /// The load step: topmost, text restored from the store, then the alert. Runs once.
    void Form_Load();

    void setVisible(bool visible) override;
    /// Shows the note without taking the keyboard from the program the person is in: it popped
    /// up by itself. A show that someone asked for takes it.
    void popUp();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void txt_Change();
    bool allowsInsert(const QString& added);

    NoteColour m_colour;
    SettingsStore& m_store;
    NoteForm m_form;
    NoteWrapping* m_wrapping = nullptr;
    NoteCaret* m_caret = nullptr;
    NoteGestures* m_gestures = nullptr;
    SpeakerAlert* m_alert = nullptr;
    Announcement* m_announcement = nullptr; // spoken when the note pops up by itself
    bool m_restoring = false;
};
