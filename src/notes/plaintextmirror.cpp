// SPDX-License-Identifier: GPL-3.0-or-later
#include "plaintextmirror.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

namespace {

// The characters that toPlainText() writes differently from the document's own.
constexpr char16_t kBeginningOfFrame = 0xfdd0;
constexpr char16_t kEndOfFrame = 0xfdd1;

// Maps the document's raw characters as toPlainText() does; false where a frame marker shows
// that the piece is not plain running text.
bool toPlain(QString& piece)
{
    for (QChar& c : piece) {
        switch (c.unicode()) {
        case kBeginningOfFrame:
        case kEndOfFrame:
            return false;
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            c = u'\n';
            break;
        case QChar::Nbsp:
            c = u' ';
            break;
        default:
            break;
        }
    }
    return true;
}

} // namespace

PlainTextMirror::PlainTextMirror(QTextDocument* document)
    : QObject(document)
    , m_document(document)
{
    // Connected before any view of the document, so the mirror is current when they hear of
    // the change.
    connect(document, &QTextDocument::contentsChange, this, &PlainTextMirror::contentsChange);
    takeAll();
}

void PlainTextMirror::takeAll()
{
    m_text = m_document->toPlainText();
    ++m_wholeTextTakes;
}

void PlainTextMirror::contentsChange(int position, int removed, int added)
{
    // The document's last paragraph separator is no part of the plain text.
    const int length = m_document->characterCount() - 1;
    if (!m_document->rootFrame()->childFrames().isEmpty() || position < 0
        || position > m_text.size() || position > length) {
        takeAll();
        return;
    }
    const int removedHere = qMin<qsizetype>(removed, m_text.size() - position);
    const int addedHere = qMin(added, length - position);
    QString piece;
    if (addedHere > 0) {
        QTextCursor cursor(m_document);
        cursor.setPosition(position);
        cursor.setPosition(position + addedHere, QTextCursor::KeepAnchor);
        piece = cursor.selectedText();
    }
    if (piece.size() != addedHere || !toPlain(piece)) {
        takeAll();
        return;
    }
    m_text.replace(position, removedHere, piece);
    if (m_text.size() != length)
        takeAll();
}
