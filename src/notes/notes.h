// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QObject>

#include <array>
#include <memory>

class NoteWindow;
class PortIo;
class SettingsStore;

/// The three note windows. Each is created by the first Show or Hide request of the run and then
/// only shown and hidden; a request that arrives while a note is being created acts on it.
class Notes final : public QObject {
    Q_OBJECT
public:
    Notes(SettingsStore& store, PortIo& ports, QObject* parent = nullptr);
    ~Notes() override;
    Notes(const Notes&) = delete;
    Notes& operator=(const Notes&) = delete;

    /// The Show request of someone who asked for the note: it takes the keyboard, and a note
    /// already shown comes to the front.
    void Show(NoteColour colour);
    /// The Show request of a reminder or of the start: the keyboard stays where it is.
    void PopUp(NoteColour colour);
    void Hide(NoteColour colour);

signals:
    void created(NoteColour colour);

private:
    NoteWindow& window(NoteColour colour);

    SettingsStore& m_store;
    PortIo& m_ports;
    std::array<std::unique_ptr<NoteWindow>, 3> m_windows;
};
