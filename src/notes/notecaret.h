// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QTextEdit;
class QTimer;

/// A note's text cursor stops blinking after a while without a key or a click, as GNOME's does:
/// each blink repaints the note and wakes the program twice a second for nobody.
class NoteCaret final : public QObject {
    Q_OBJECT
public:
    explicit NoteCaret(QTextEdit* txt);
    ~NoteCaret() override;

    /// A key or a click: the cursor blinks again, for a while.
    void touched();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stopBlinking();
    void resumeBlinking();

    QTextEdit* m_txt;
    QTimer* m_rest; // runs from the last input until the cursor stops blinking
    int m_stoppedFlashTime = 0; // the cursor flash time this note set to 0 (0: it set none)
};
