// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainter>

/// A control with a ring of a light and a dark line while it has the keyboard. Qt's own focus
/// marks are faint on bright row colours and dark grey alike, and a scroll bar, a read-only
/// field or a label shows none; the ring shows on every ground.
template <typename Control> class WithFocusRing : public Control {
public:
    using Control::Control;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Control::paintEvent(event);
        if (!this->hasFocus())
            return;
        QPainter p(this);
        const QRect r = this->rect();
        p.setPen(Qt::white);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
};
