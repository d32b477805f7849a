// SPDX-License-Identifier: GPL-3.0-or-later
#include "unavailable.h"

#include "widgets/accessiblereader.h"
#include "widgets/focusring.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QEvent>
#include <QWidget>

namespace {

// Qt gives an unavailable control neither the keyboard nor a place in the Tab order, so a
// person who moves by keys would never learn that it exists. A stand-in takes its place there
// while it is unavailable: it lies over the control, lets the mouse through, shows the focus
// ring when it has the keyboard, and is read as the control, unavailable, with what makes it
// available.
class UnavailableStandIn final : public WithFocusRing<QWidget> {
    Q_OBJECT
public:
    UnavailableStandIn(QWidget* control, const QString& why)
        : WithFocusRing<QWidget>(control->parentWidget())
        , m_control(control)
        , m_why(why)
    {
        setObjectName(control->objectName() + QLatin1String("Unavailable"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        control->installEventFilter(this);
        follow();
    }

    QWidget* control() const { return m_control; }
    QString why() const { return m_why; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
            follow();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void follow()
    {
        const bool unavailable = !m_control->isEnabled() && !m_control->isHidden();
        setGeometry(m_control->geometry());
        setAccessibleName(m_control->accessibleName());
        m_control->setAccessibleDescription(unavailable ? m_why : QString());
        if (unavailable) {
            setFocusPolicy(Qt::TabFocus);
            // Right behind the control in the Tab order, wherever the window has put it since.
            QWidget::setTabOrder(m_control, this);
            raise();
            show();
            return;
        }
        const bool hadKeyboard = hasFocus();
        setFocusPolicy(Qt::NoFocus);
        hide();
        if (hadKeyboard && m_control->isEnabled())
            m_control->setFocus(Qt::OtherFocusReason);
    }

    QWidget* m_control;
    QString m_why;
};

class StandInReader final : public QAccessibleWidget {
public:
    explicit StandInReader(UnavailableStandIn* standIn)
        : QAccessibleWidget(standIn, QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Description:
            return standIn()->why();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.disabled = true;
        s.checkable = true;
        const auto* button = qobject_cast<const QAbstractButton*>(standIn()->control());
        s.checked = button && button->isChecked();
        return s;
    }

private:
    UnavailableStandIn* standIn() const { return static_cast<UnavailableStandIn*>(widget()); }
};

} // namespace

void explainWhenUnavailable(QWidget* control, const QString& why)
{
    readThrough<UnavailableStandIn, StandInReader>();
    new UnavailableStandIn(control, why);
}

#include "unavailable.moc"
