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
    /// What a reader hears while the field is empty: "Not set.", and what that holds back.
    QString whileUnset() const { return m_whileUnset; }
    void setWhileUnset(const QString& words) { m_whileUnset = words; }

private:
    QLineEdit* m_field;
    QString m_whileUnset = QStringLiteral("Not set.");
};
