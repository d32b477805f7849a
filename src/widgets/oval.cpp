// SPDX-License-Identifier: GPL-3.0-or-later
#include "oval.h"

#include <QPainter>

Oval::Oval(const QColor& fill, QWidget* parent)
    : QWidget(parent)
    , m_fill(fill)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Oval::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(m_fill);
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
