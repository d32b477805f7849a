// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

/// A filled oval with a black outline, drawn on the window's surface; clicks go through it.
class Oval final : public QWidget {
public:
    Oval(const QColor& fill, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
};
