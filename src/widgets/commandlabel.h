// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/focusring.h"

#include <QLabel>

class QTimer;

/// A label that acts as a command, by mouse and by keyboard alike. A Click label runs its command
/// when the left button is released over it, on Enter, Return or Space, and on its access key. A
/// Hold label is held like a button: by any mouse button or by Space, the keyboard's repeats
/// changing nothing; it is let go when the button or the key comes up or the keyboard leaves it.
/// Enter holds it until the next Enter, Escape, or the keyboard leaving it.
class CommandLabel final : public WithFocusRing<QLabel> {
    Q_OBJECT
public:
    enum class Kind { Click, Hold };

    CommandLabel(Kind kind, const QString& text, QWidget* parent);

    Kind kind() const { return m_kind; }
    /// A Hold label not held is held until this is called again, or the keyboard leaves it.
    void toggleHold();

signals:
    void clicked();
    void held();
    void letGo();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isCommandKey(const QKeyEvent* event) const;
    void hold();
    void letHoldGo();

    Kind m_kind;
    QTimer* m_letGoSoon = nullptr; // a Space released and pressed again at once is held still
    bool m_latched = false; // held by Enter, until the next
};
