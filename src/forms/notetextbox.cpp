// SPDX-License-Identifier: GPL-3.0-or-later
#include "notetextbox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

NoteTextBox::NoteTextBox(QWidget* parent)
    : QTextEdit(parent)
{
}

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

bool NoteTextBox::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void NoteTextBox::insertFromMimeData(const QMimeData* source)
{
    const QString text = plainTextOf(source);
    if (text.isEmpty() || refused(text))
        return;
    // The typing format, not the source's: bold, colours, tables and images stay outside.
    QTextCursor cursor = textCursor();
    cursor.insertText(text, QTextCharFormat());
    setTextCursor(cursor);
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
    QTextEdit::keyPressEvent(event);
}

void NoteTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && refused(event->commitString())) {
        event->accept();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}
