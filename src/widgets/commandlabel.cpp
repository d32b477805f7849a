// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandlabel.h"

#include "widgets/accessiblereader.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

// A command label reads as the button it acts as, not as a label: Enter and Space press a Click
// label, and a reader's press action does too; for a Hold label, Enter and the press action hold
// it until the next.
class AccessibleCommandLabel final : public QAccessibleWidget {
public:
    explicit AccessibleCommandLabel(CommandLabel* label)
        : QAccessibleWidget(label, QAccessible::Button)
    {
    }
    QStringList actionNames() const override
    {
        return QStringList { pressAction() } + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        CommandLabel* label = command();
        if (name != pressAction())
            QAccessibleWidget::doAction(name);
        else if (label->kind() == CommandLabel::Kind::Click)
            emit label->clicked();
        else
            label->toggleHold();
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name != pressAction())
            return QAccessibleWidget::keyBindingsForAction(name);
        return { command()->kind() == CommandLabel::Kind::Click ? QStringLiteral("Space")
                                                                : QStringLiteral("Return") };
    }
    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        if (t != QAccessible::Description || command()->kind() != CommandLabel::Kind::Hold)
            return text;
        // Holding a key down is no way to listen: Enter keeps what it shows until the next Enter.
        return text + QStringLiteral(" Enter shows it until Enter or Escape; Space, while held.");
    }

private:
    CommandLabel* command() const { return static_cast<CommandLabel*>(widget()); }
};

} // namespace

CommandLabel::CommandLabel(Kind kind, const QString& text, QWidget* parent)
    : WithFocusRing<QLabel>(text, parent)
    , m_kind(kind)
{
    readThrough<CommandLabel, AccessibleCommandLabel>();
    setCursor(Qt::PointingHandCursor);
    // A menu opened while the label is held would take the release that lets it go.
    if (m_kind == Kind::Hold) {
        setContextMenuPolicy(Qt::PreventContextMenu);
        m_letGoSoon = new QTimer(this);
        m_letGoSoon->setSingleShot(true);
        m_letGoSoon->setInterval(50);
        connect(m_letGoSoon, &QTimer::timeout, this, &CommandLabel::letHoldGo);
    }
}

bool CommandLabel::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && m_kind == Kind::Click) {
        emit clicked();
        return true;
    }
    return WithFocusRing<QLabel>::event(event);
}

void CommandLabel::mousePressEvent(QMouseEvent* event)
{
    if (m_kind == Kind::Hold)
        emit held();
    WithFocusRing<QLabel>::mousePressEvent(event);
}

void CommandLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_kind == Kind::Hold)
        emit letGo(); // whatever the button and wherever the pointer is now
    else if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    WithFocusRing<QLabel>::mouseReleaseEvent(event);
}

bool CommandLabel::isCommandKey(const QKeyEvent* event) const
{
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (m_kind == Kind::Hold)
        return key == Qt::Key_Space || enter || (key == Qt::Key_Escape && m_latched);
    return enter || key == Qt::Key_Space;
}

void CommandLabel::keyPressEvent(QKeyEvent* event)
{
    if (!isCommandKey(event)) {
        WithFocusRing<QLabel>::keyPressEvent(event);
        return;
    }
    const bool space = event->key() == Qt::Key_Space;
    // A key held down is one press.
    if (!event->isAutoRepeat() && m_kind == Kind::Hold && !space)
        toggleHold();
    else if (!event->isAutoRepeat() && m_kind == Kind::Hold && !m_latched)
        hold();
    else if (!event->isAutoRepeat())
        emit clicked();
    event->accept();
}

void CommandLabel::keyReleaseEvent(QKeyEvent* event)
{
    if (!isCommandKey(event)) {
        WithFocusRing<QLabel>::keyReleaseEvent(event);
        return;
    }
    if (m_kind == Kind::Hold && !event->isAutoRepeat() && event->key() == Qt::Key_Space
        && !m_latched)
        letHoldGo();
    event->accept();
}

void CommandLabel::focusOutEvent(QFocusEvent* event)
{
    if (m_kind == Kind::Hold)
        letHoldGo(); // Space was still held when the keyboard went elsewhere
    WithFocusRing<QLabel>::focusOutEvent(event);
}

void CommandLabel::hold()
{
    // The keyboard repeats a held key as a release and a press at once, which a screen reader's
    // key queue passes on without their repeat mark: each would let the label go and hold it
    // again, the help read out anew, and be echoed ("space" thirty times). Until the key has
    // been up for a moment, Space goes no further than here, ahead of the screen reader's own
    // filter, which was put in before this one.
    QCoreApplication::instance()->installEventFilter(this);
    emit held();
}

void CommandLabel::toggleHold()
{
    if (m_latched) {
        letHoldGo();
        return;
    }
    m_latched = true;
    emit held();
}

void CommandLabel::letHoldGo()
{
    m_latched = false;
    m_letGoSoon->stop();
    QCoreApplication::instance()->removeEventFilter(this);
    emit letGo();
}

bool CommandLabel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease)
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (type == QEvent::KeyPress)
            m_letGoSoon->stop();
        else
            m_letGoSoon->start();
        return true;
    }
    return WithFocusRing<QLabel>::eventFilter(watched, event);
}
