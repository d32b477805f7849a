// SPDX-License-Identifier: GPL-3.0-or-later
#include "unavailable.h"

#include <QEvent>
#include <QWidget>

namespace {

class Explainer final : public QObject {
public:
    Explainer(QWidget* control, const QString& why)
        : QObject(control)
        , m_why(why)
    {
        control->installEventFilter(this);
        update(control);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            update(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void update(QWidget* control) const
    {
        control->setAccessibleDescription(control->isEnabled() ? QString() : m_why);
    }

    QString m_why;
};

} // namespace

void explainWhenUnavailable(QWidget* control, const QString& why) { new Explainer(control, why); }
