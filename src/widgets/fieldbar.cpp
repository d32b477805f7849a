// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldbar.h"

#include "widgets/accessiblereader.h"

#include <QAccessibleWidget>
#include <QLineEdit>

namespace {

// Without a value a reader says the description; with one, the field's number. Orca reads a
// value's text only from an attribute that Qt 6.4 cannot give, so the value goes while unset.
class AccessibleFieldBar final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleFieldBar(FieldBar* bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar)
    {
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface && isSet())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return field()->text();
        if (t == QAccessible::Description && !isSet())
            return bar()->whileUnset();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return field()->text().toInt(); }
    void setCurrentValue(const QVariant& value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    FieldBar* bar() const { return static_cast<FieldBar*>(widget()); }
    QLineEdit* field() const { return bar()->field(); }
    bool isSet() const { return !field()->text().isEmpty(); }
};

} // namespace

FieldBar::FieldBar(QLineEdit* field, QWidget* parent)
    : WithFocusRing<QScrollBar>(Qt::Vertical, parent)
    , m_field(field)
{
    readThrough<FieldBar, AccessibleFieldBar>();
    // A field filled without the bar (start-up restores it) changes what the bar reads.
    connect(field, &QLineEdit::textChanged, this, [this] {
        QAccessibleValueChangeEvent changed(this, m_field->text());
        QAccessible::updateAccessibility(&changed);
    });
}
