// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/focusring.h"

#include <QScrollBar>

class QLineEdit;

/// A vertical scroll bar that sets a field beside it. A screen reader hears the field's value as
/// the bar's, and "not set" while the field is empty: the bar's own position means nothing
/// until it is moved (it stays where it was designed when start-up fills the field).
class FieldBar final : public WithFocusRing<QScrollBar> {
    Q_OBJECT
public:
    FieldBar(QLineEdit* field, QWidget* parent);

    QLineEdit* field() const { return m_field; }

private:
    QLineEdit* m_field;
};
