// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"
#include "forms/noteform.h"

#include <QPoint>
#include <QWidget>

class PlainTextMirror;
class PortIo;
class QTimer;
class SettingsStore;

/// One sticky note: a frameless topmost window filled by its rich-text box. Its text is written
/// to the store on every change; a press and drag in the text moves it, a double click hides it.
/// Its text cursor stops blinking after a while without a key or a click, as GNOME's does.
class NoteWindow final : public QWidget {
    Q_OBJECT
public:
    NoteWindow(NoteColour colour, SettingsStore& store, PortIo& ports);
    ~NoteWindow() override;
    NoteWindow(const NoteWindow&) = delete;
    NoteWindow& operator=(const NoteWindow&) = delete;

    NoteColour colour() const { return m_colour; }
    const NoteForm& form() const { return m_form; }

    /// The load step: topmost, text restored from the store, then the alert. Runs once.
    void Form_Load();
    /// The warble of eight tones; returns when the last has ended.
    void PlayAlert();
    /// One tone on the speaker; returns when it has ended. Nothing is played, and no port or
    /// timer touched, for a frequency whose divisor does not fit.
    void PlayTone(double frequency, int milliseconds);

    void setVisible(bool visible) override;

signals:
    /// A write of the note's text failed; the text stays on screen.
    void saveFailed(const QString& reason);
    /// A write succeeded (after an earlier failure, the whole text is saved again).
    void saved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void txt_Change();
    void TimerSound_Timer();
    Qt::Edges edgesAt(QPoint pos) const;
    void adaptWrapping(const QString& text);
    void caretTouched();
    void stopCaretBlinking();
    void resumeCaretBlinking();

    NoteColour m_colour;
    SettingsStore& m_store;
    PortIo& m_ports;
    NoteForm m_form;
    PlainTextMirror* m_plainText = nullptr; // the text box's plain text, kept as it changes
    bool m_ToneFinished = false;
    bool m_restoring = false;
    bool m_everShown = false;
    qsizetype m_wrapCheckedSize = 0;
    QTimer* m_caretRest = nullptr; // runs from the last input until the cursor stops blinking
    int m_stoppedFlashTime = 0; // the cursor flash time this note set to 0 (0: it set none)

    // Pointer gesture in progress in the text box.
    enum class Gesture { None, Pressed, Moving, Resizing };
    Gesture m_gesture = Gesture::None;
    Qt::MouseButton m_button = Qt::NoButton;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
    QRect m_pressGeometry;
    Qt::Edges m_pressEdges;
};
