// SPDX-License-Identifier: GPL-3.0-or-later
#include "notetextbox.h"

#include "plaintextmirror.h"
#include "textpieces.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>

NoteTextBox::NoteTextBox(QWidget* parent, InsertCheck mayInsert)
    : QTextEdit(parent)
    , m_mayInsert(std::move(mayInsert))
    , m_plainText(new PlainTextMirror(document()))
{
}

void NoteTextBox::setNoteText(const QString& text)
{
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false); // also empties the undo stack, as setPlainText() does
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // Cleared within the edit, as setPlainText() does: Qt then lays the new text out step by
    // step instead of all at once.
    doc->clear();
    TextPieces::insert(cursor, text);
    // The caret back at the start before Qt hears of the new text: moved there later, from the
    // end where the insertion left it, it would have the whole text laid out at once.
    setTextCursor(QTextCursor(doc));
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(true);
}

const QString& NoteTextBox::noteText() const { return m_plainText->text(); }

QString NoteTextBox::plainTextOf(const QMimeData* source)
{
    // Formatted text without a plain version: what its formatting shows as plain text.
    QString text = source->hasText() || !source->hasHtml()
        ? source->text()
        : QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    // An image or another object copied from a rich-text editor leaves this placeholder in the
    // plain text; kept, it would be an invisible character that copying carries out again.
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

QMenu* NoteTextBox::createEditMenu(const QPoint& position)
{
    QMenu* menu = createStandardContextMenu(position);
    for (QAction* action : menu->actions()) {
        const bool cut = action->objectName() == QLatin1String("edit-cut");
        if (!cut && action->objectName() != QLatin1String("edit-delete"))
            continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this, cut] { removeSelectedText(cut); });
    }
    return menu;
}

void NoteTextBox::removeSelectedText(bool toClipboard)
{
    if (isReadOnly() || !textCursor().hasSelection())
        return;
    if (toClipboard)
        copy();
    QTextCursor cursor = textCursor();
    TextPieces::removeSelection(cursor);
    setTextCursor(cursor);
    TextPieces::tidyAfterEdit(textCursor());
}

bool NoteTextBox::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

QMimeData* NoteTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    QList<int> pieceBreaks;
    const QString text = TextPieces::plainText(
        document(), cursor.selectionStart(), cursor.selectionEnd(), &pieceBreaks);
    if (pieceBreaks.isEmpty())
        return QTextEdit::createMimeDataFromSelection();
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

void NoteTextBox::insertFromMimeData(const QMimeData* source)
{
    const QString text = plainTextOf(source);
    if (text.isEmpty() || refused(text))
        return;
    // The typing format, not the source's: bold, colours, tables and images stay outside.
    QTextCursor cursor = textCursor();
    TextPieces::insert(cursor, text);
    setTextCursor(cursor);
    TextPieces::tidyAfterEdit(textCursor());
    ensureCursorVisible();
}

void NoteTextBox::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool inserts = !text.isEmpty()
        && (text.front().isPrint() || text == QLatin1String("\r") || text == QLatin1String("\t"));
    if (inserts && !(event->modifiers() & Qt::ControlModifier) && refused(text)) {
        event->accept();
        return;
    }
    if (!isReadOnly() && event->matches(QKeySequence::InsertParagraphSeparator)) {
        // Qt's own new paragraph would take the block format over, a piece's mark included.
        QTextCursor cursor = textCursor();
        if (!TextPieces::breakLineAtPieceBreak(cursor))
            TextPieces::insert(cursor, QStringLiteral("\n"));
        setTextCursor(cursor);
        TextPieces::tidyAfterEdit(textCursor());
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (!isReadOnly() && deleteAcrossPieceBreak(event)) {
        event->accept();
        return;
    }
    const int revision = document()->revision();
    QTextCursor cursor = textCursor();
    if (!isReadOnly() && cursor.hasSelection() && !(event->modifiers() & Qt::ControlModifier)
        && (inserts || event->key() == Qt::Key_Backspace || event->matches(QKeySequence::Delete))) {
        // The selection goes first, the piece marks kept; then the key does the rest, as one
        // edit.
        cursor.beginEditBlock();
        TextPieces::removeSelection(cursor);
        setTextCursor(cursor);
        if (inserts)
            QTextEdit::keyPressEvent(event);
        cursor.endEditBlock();
    } else if (!isReadOnly() && cursor.hasSelection() && event->matches(QKeySequence::Cut)) {
        removeSelectedText(true);
    } else {
        QTextEdit::keyPressEvent(event);
        if (crossedOnlyPieceBreak(event))
            QTextEdit::keyPressEvent(event);
    }
    if (document()->revision() != revision && !event->matches(QKeySequence::Undo)
        && !event->matches(QKeySequence::Redo))
        TextPieces::tidyAfterEdit(textCursor());
}

void NoteTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && refused(event->commitString())) {
        event->accept();
        return;
    }
    const int revision = document()->revision();
    QTextEdit::inputMethodEvent(event);
    if (document()->revision() != revision)
        TextPieces::tidyAfterEdit(textCursor());
}

bool NoteTextBox::crossedOnlyPieceBreak(QKeyEvent* event) const
{
    // At a piece break the caret has two places for one place in the text: an arrow key that
    // went from one to the other has not passed a character yet.
    const QTextCursor caret = textCursor();
    if (event->matches(QKeySequence::MoveToNextChar)
        || event->matches(QKeySequence::SelectNextChar))
        return caret.atBlockStart() && TextPieces::continuesParagraph(caret.block());
    if (event->matches(QKeySequence::MoveToPreviousChar)
        || event->matches(QKeySequence::SelectPreviousChar)) {
        const QTextBlock next = caret.block().next();
        return caret.atBlockEnd() && next.isValid() && TextPieces::continuesParagraph(next);
    }
    return false;
}

bool NoteTextBox::deleteAcrossPieceBreak(QKeyEvent* event)
{
    // Backspace at the start of a piece and Delete at the end of one reach over the piece break
    // to the character the person sees beside the caret.
    const bool backspace
        = event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
    const bool forward = event->matches(QKeySequence::Delete);
    QTextCursor cursor = textCursor();
    if ((!backspace && !forward) || cursor.hasSelection())
        return false;
    QTextBlock block = cursor.block();
    int position = cursor.position();
    if (backspace) {
        if (position != block.position() || !TextPieces::continuesParagraph(block))
            return false;
        while (position == block.position() && TextPieces::continuesParagraph(block)) {
            block = block.previous();
            position = block.position() + block.length() - 1;
        }
        if (position == 0)
            return true;
        cursor.setPosition(position);
        cursor.deletePreviousChar();
    } else {
        QTextBlock next = block.next();
        if (position != block.position() + block.length() - 1 || !next.isValid()
            || !TextPieces::continuesParagraph(next))
            return false;
        while (next.isValid() && TextPieces::continuesParagraph(next)
            && position == block.position() + block.length() - 1) {
            block = next;
            next = block.next();
            position = block.position();
        }
        if (position == document()->characterCount() - 1)
            return true;
        cursor.setPosition(position);
        cursor.deleteChar();
    }
    setTextCursor(cursor);
    TextPieces::tidyAfterEdit(textCursor());
    return true;
}
