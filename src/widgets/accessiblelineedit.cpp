// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessiblelineedit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>
#include <QValidator>

#include <algorithm>

namespace {

struct Piece {
    int start = -1;
    int end = -1;
};

bool isWholeLine(QAccessible::TextBoundaryType type)
{
    // A one-line field is one line, one paragraph and one whole.
    return type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary
        || type == QAccessible::NoBoundary;
}

// The offsets where a piece of the kind starts or ends, in order, 0 and the length among them:
// between two neighbours lies one piece (a character, a word or the gap between two words, a
// sentence), as Qt's own reading cuts them.
QList<int> edges(const QString& text, QAccessible::TextBoundaryType type)
{
    QList<int> found { 0 };
    const auto kind = type == QAccessible::CharBoundary ? QTextBoundaryFinder::Grapheme
        : type == QAccessible::WordBoundary             ? QTextBoundaryFinder::Word
                                                        : QTextBoundaryFinder::Sentence;
    QTextBoundaryFinder finder(kind, text);
    // toNextBoundary() answers -1 past the end; every loop here stops there.
    while (finder.toNextBoundary() > 0) {
        if (kind == QTextBoundaryFinder::Grapheme
            || (finder.boundaryReasons()
                & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem)))
            found.append(finder.position());
    }
    if (found.last() != text.size())
        found.append(text.size());
    return found;
}

enum class Where { Before, At, After };

Piece pieceNear(const QString& text, int offset, QAccessible::TextBoundaryType type, Where where)
{
    const int length = int(text.size());
    if (text.isEmpty() || offset < 0 || offset > length)
        return {};
    if (isWholeLine(type))
        return where == Where::At ? Piece { 0, length } : Piece {};
    if (type == QAccessible::CharBoundary && where == Where::At && offset == length)
        return {}; // no character stands at the end
    const QList<int> e = edges(text, type);
    const auto firstAfter = std::upper_bound(e.begin(), e.end(), offset);
    const auto i = int(firstAfter - e.begin()); // e[i - 1] <= offset < e[i]
    switch (where) {
    case Where::Before:
        return i >= 2 ? Piece { e[i - 2], e[i - 1] } : Piece {};
    case Where::At:
        // At the end, the piece that ends there: the last word is read when a move reaches it.
        return i < e.size() ? Piece { e[i - 1], e[i] } : Piece { e[i - 2], e[i - 1] };
    case Where::After:
        return i + 1 < e.size() ? Piece { e[i], e[i + 1] } : Piece {};
    }
    return {};
}

// -2 asks at the cursor, -1 at the end.
QString answer(const QString& text, int offset, int cursor, QAccessible::TextBoundaryType type,
    Where where, int* startOffset, int* endOffset)
{
    if (offset == -2)
        offset = cursor;
    else if (offset == -1)
        offset = int(text.size());
    const Piece p = pieceNear(text, offset, type, where);
    *startOffset = p.start;
    *endOffset = p.end;
    return p.start < 0 ? QString() : text.mid(p.start, p.end - p.start);
}

} // namespace

AccessibleLineEdit::AccessibleLineEdit(QLineEdit* edit)
    : AccessibleLineEdit(edit, edit, QAccessible::EditableText)
{
}

AccessibleLineEdit::AccessibleLineEdit(QWidget* owner, QLineEdit* edit, QAccessible::Role role)
    : QAccessibleWidget(owner, role)
    , m_edit(edit)
{
}

void AccessibleLineEdit::install()
{
    // Asked first for the most derived class name: answering there keeps Qt's own readers of
    // these classes from ever being made.
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
        if (auto* edit = qobject_cast<QLineEdit*>(object))
            return new AccessibleLineEdit(edit);
        auto* box = qobject_cast<QSpinBox*>(object);
        auto* edit
            = box ? box->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
        return edit ? new AccessibleSpinBox(box, edit) : nullptr;
    });
}

QString AccessibleLineEdit::readableText() const
{
    return lineEdit()->echoMode() == QLineEdit::Normal ? lineEdit()->text() : QString();
}

QString AccessibleLineEdit::text(QAccessible::Text t) const
{
    QString s;
    if (t == QAccessible::Value) {
        if (lineEdit()->echoMode() == QLineEdit::Normal)
            s = lineEdit()->text();
        else if (lineEdit()->echoMode() != QLineEdit::NoEcho)
            s = QString(lineEdit()->text().size(), QLatin1Char('*'));
    }
    if (s.isEmpty())
        s = QAccessibleWidget::text(t);
    if (s.isEmpty() && t == QAccessible::Description)
        s = lineEdit()->placeholderText();
    return s;
}

void AccessibleLineEdit::setText(QAccessible::Text t, const QString& text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    if (lineEdit()->isReadOnly())
        return;
    QString candidate = text;
    int position = 0;
    if (lineEdit()->validator()
        && lineEdit()->validator()->validate(candidate, position) != QValidator::Acceptable)
        return;
    lineEdit()->setText(candidate);
}

QAccessible::State AccessibleLineEdit::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.readOnly = lineEdit()->isReadOnly();
    s.passwordEdit = lineEdit()->echoMode() != QLineEdit::Normal;
    s.selectableText = true;
    return s;
}

void* AccessibleLineEdit::interface_cast(QAccessible::InterfaceType t)
{
    // An empty field that only the program writes has no text to read. With a text, Orca takes
    // the caret event of the field's focus for the focus itself and says nothing on a first
    // visit; without, it reads the field's name, role and description.
    if (lineEdit()->isReadOnly() && lineEdit()->text().isEmpty()
        && (t == QAccessible::TextInterface || t == QAccessible::EditableTextInterface))
        return nullptr;
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void AccessibleLineEdit::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = -1;
    if (selectionIndex != 0 || !lineEdit()->hasSelectedText())
        return;
    *startOffset = lineEdit()->selectionStart();
    *endOffset = lineEdit()->selectionEnd();
}

int AccessibleLineEdit::selectionCount() const { return lineEdit()->hasSelectedText() ? 1 : 0; }

void AccessibleLineEdit::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleLineEdit::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        lineEdit()->deselect();
}

void AccessibleLineEdit::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        lineEdit()->setSelection(startOffset, endOffset - startOffset);
}

int AccessibleLineEdit::cursorPosition() const { return lineEdit()->cursorPosition(); }

void AccessibleLineEdit::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(position);
}

QString AccessibleLineEdit::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return {};
    return readableText().mid(startOffset, endOffset - startOffset);
}

int AccessibleLineEdit::characterCount() const { return int(lineEdit()->text().size()); }

QString AccessibleLineEdit::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) const
{
    return answer(readableText(), offset, cursorPosition(), boundaryType, Where::Before,
        startOffset, endOffset);
}

QString AccessibleLineEdit::textAfterOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) const
{
    return answer(readableText(), offset, cursorPosition(), boundaryType, Where::After, startOffset,
        endOffset);
}

QString AccessibleLineEdit::textAtOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) const
{
    return answer(
        readableText(), offset, cursorPosition(), boundaryType, Where::At, startOffset, endOffset);
}

QRect AccessibleLineEdit::characterRect(int offset) const
{
    // Where QLineEdit draws its text, less the horizontal scrolling, which Tackpad's fields never
    // need: they narrow their font until the whole text fits.
    const QLineEdit* e = lineEdit();
    const QString shown = e->displayText();
    if (offset < 0 || offset >= shown.size())
        return {};
    QStyleOptionFrame frame;
    frame.initFrom(e);
    frame.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const int margin = 2; // QLineEdit's own, each side
    const QRect room = e->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &frame, e)
                           .marginsRemoved(e->textMargins())
                           .adjusted(margin, 0, -margin, 0);
    const QFontMetrics fm = e->fontMetrics();
    const int width = fm.horizontalAdvance(shown);
    const Qt::Alignment align = QStyle::visualAlignment(e->layoutDirection(), e->alignment());
    int x = room.left();
    if (align & Qt::AlignRight)
        x = room.right() + 1 - width;
    else if (align & Qt::AlignHCenter)
        x = room.left() + (room.width() - width) / 2;
    x += fm.horizontalAdvance(shown.left(offset));
    const int y = room.top() + (room.height() - fm.height()) / 2;
    return { e->mapToGlobal(QPoint(x, y)),
        QSize(fm.horizontalAdvance(shown.mid(offset, 1)), fm.height()) };
}

int AccessibleLineEdit::offsetAtPoint(const QPoint& point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void AccessibleLineEdit::scrollToSubstring(int, int endIndex)
{
    lineEdit()->setCursorPosition(endIndex);
}

QString AccessibleLineEdit::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One run without attributes over the whole text. Qt's own answer, an empty run at the
    // offset, makes Orca join the runs up to the last offset it asks about, which cuts the
    // last character off every line it reads ("April 01, 200").
    const int length = characterCount();
    const bool inside = offset >= 0 && offset <= length;
    *startOffset = inside ? 0 : -1;
    *endOffset = inside ? length : -1;
    return {};
}

void AccessibleLineEdit::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void AccessibleLineEdit::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void AccessibleLineEdit::replaceText(int startOffset, int endOffset, const QString& text)
{
    // A reader edits only what the person could: nothing in a field only the program writes.
    if (lineEdit()->isReadOnly() || startOffset < 0 || startOffset > endOffset)
        return;
    setText(
        QAccessible::Value, lineEdit()->text().replace(startOffset, endOffset - startOffset, text));
}

AccessibleSpinBox::AccessibleSpinBox(QSpinBox* box, QLineEdit* edit)
    : AccessibleLineEdit(box, edit, QAccessible::SpinBox)
{
}

QSpinBox* AccessibleSpinBox::spinBox() const { return static_cast<QSpinBox*>(widget()); }

void* AccessibleSpinBox::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return AccessibleLineEdit::interface_cast(t);
}

QVariant AccessibleSpinBox::currentValue() const { return spinBox()->value(); }

void AccessibleSpinBox::setCurrentValue(const QVariant& value)
{
    spinBox()->setValue(value.toInt());
}

QVariant AccessibleSpinBox::maximumValue() const { return spinBox()->maximum(); }

QVariant AccessibleSpinBox::minimumValue() const { return spinBox()->minimum(); }

QVariant AccessibleSpinBox::minimumStepSize() const { return spinBox()->singleStep(); }
