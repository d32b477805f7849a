// SPDX-License-Identifier: GPL-3.0-or-later
#include "decorative.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char kDecorative[] = "tackpadDecorative";

class AccessibleDecoration final : public QAccessibleWidget {
public:
    explicit AccessibleDecoration(QWidget* w)
        : QAccessibleWidget(w, QAccessible::NoRole)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
};

} // namespace

void markDecorative(QWidget* widget)
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            return object->isWidgetType() && object->property(kDecorative).toBool()
                ? new AccessibleDecoration(static_cast<QWidget*>(object))
                : nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(kDecorative, true);
}
