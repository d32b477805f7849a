// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpieces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int kPieceMark = QTextFormat::UserProperty + 1;
// How far back from a piece's nominal end a cut looks for a space, so that words stay whole.
constexpr int kWordSearch = 1024;

// The characters that QTextCursor::insertText() turns into a new block.
bool breaksBlock(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case QChar::ParagraphSeparator:
    case 0xfdd0: // beginning of a frame
    case 0xfdd1: // end of a frame
        return true;
    default:
        return false;
    }
}

// Where the block's text is best cut after `begin`: near `begin + kPiece`, after a space if
// there is one close by.
int cutAfter(const QString& text, int begin)
{
    int cut = begin + TextPieces::kPiece;
    for (int i = cut; i > cut - kWordSearch; --i) {
        if (text.at(i - 1).isSpace())
            return i;
    }
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never between the halves of one character
    return cut;
}

// Cuts one block into pieces; returns how many piece breaks it added.
int splitBlock(QTextCursor& cursor, const QTextBlock& block)
{
    const int length = block.length() - 1;
    if (length <= TextPieces::kLongestBlock)
        return 0;
    const QString text = block.text();
    QList<int> cuts;
    for (int begin = 0; length - begin > TextPieces::kPiece + TextPieces::kPiece / 2;)
        cuts.append(begin = cutAfter(text, begin));
    QTextBlockFormat piece = block.blockFormat();
    piece.setProperty(kPieceMark, true);
    const int position = block.position();
    // From the end back, so that each cut's position still holds.
    for (auto cut = cuts.crbegin(); cut != cuts.crend(); ++cut) {
        cursor.setPosition(position + *cut);
        cursor.insertBlock(piece);
    }
    return int(cuts.size());
}

// Sets or clears a block's piece mark, as an edit of its own.
void markBlock(QTextCursor& cursor, const QTextBlock& block, bool piece)
{
    QTextBlockFormat format = block.blockFormat();
    if (piece)
        format.setProperty(kPieceMark, true);
    else
        format.clearProperty(kPieceMark);
    cursor.setPosition(block.position());
    cursor.setBlockFormat(format);
}

// An empty block beside a piece break: removing it and keeping one separator keeps the text.
bool isStray(const QTextBlock& block)
{
    const QTextBlock next = block.next();
    return block.isValid() && block.length() == 1 && next.isValid()
        && (TextPieces::continuesParagraph(block) || TextPieces::continuesParagraph(next));
}

void removeStray(QTextCursor& cursor, const QTextBlock& empty)
{
    // Of the separators before and after the empty block, one stays; it breaks the line if
    // either did. Deleting the empty block's own separator makes Qt drop that block and keep
    // the next one's format, which decides what the separator left before it is.
    const QTextBlock next = empty.next();
    if (!TextPieces::continuesParagraph(empty) && TextPieces::continuesParagraph(next))
        markBlock(cursor, next, false);
    cursor.setPosition(empty.position());
    cursor.deleteChar();
}

} // namespace

namespace TextPieces {

bool continuesParagraph(const QTextBlock& block)
{
    return block.blockFormat().boolProperty(kPieceMark);
}

QString plainText(const QTextDocument* document, int from, int to, QList<int>* pieceBreaks)
{
    if (to <= from)
        return {};
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText(); // every separator as U+2029
    for (QChar& c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0:
        case 0xfdd1:
            c = u'\n';
            break;
        case QChar::Nbsp:
            c = u' ';
            break;
        default:
            break;
        }
    }
    // A marked block makes the separator before it a piece break.
    QList<int> breaks;
    const QTextBlock first = document->findBlock(from);
    const QTextBlock last = document->findBlock(to);
    for (QTextBlock block = first; block != last;) {
        block = block.next();
        if (continuesParagraph(block))
            breaks.append(block.position() - 1);
    }
    if (breaks.isEmpty())
        return text;
    QString kept;
    kept.reserve(text.size() - breaks.size());
    int done = 0;
    for (int at : breaks) {
        kept += QStringView(text).sliced(done, at - from - done);
        done = at - from + 1;
    }
    kept += QStringView(text).sliced(done);
    if (pieceBreaks)
        pieceBreaks->append(breaks);
    return kept;
}

void insert(QTextCursor& cursor, const QString& text)
{
    cursor.beginEditBlock();
    removeSelection(cursor);
    const int start = cursor.position();
    qsizetype rest = 0;
    if (continuesParagraph(cursor.block())) {
        // A line break starts a paragraph of its own, never a piece of the one it splits; after
        // it, insertText() gives each new block the format of an ordinary paragraph.
        const auto lineBreak = std::find_if(text.cbegin(), text.cend(), breaksBlock);
        if (lineBreak != text.cend()) {
            rest = lineBreak - text.cbegin();
            cursor.insertText(text.first(rest), QTextCharFormat());
            QTextBlockFormat paragraph = cursor.blockFormat();
            paragraph.clearProperty(kPieceMark);
            cursor.insertBlock(paragraph);
            rest += QStringView(text).sliced(rest).startsWith(u"\r\n") ? 2 : 1;
        }
    }
    cursor.insertText(rest == 0 ? text : text.sliced(rest), QTextCharFormat());
    splitLongBlocks(cursor.document(), start, cursor.position());
    cursor.endEditBlock();
}

void removeSelection(QTextCursor& cursor)
{
    if (!cursor.hasSelection())
        return;
    cursor.beginEditBlock();
    const bool marked = continuesParagraph(cursor.document()->findBlock(cursor.selectionStart()));
    cursor.removeSelectedText();
    if (continuesParagraph(cursor.block()) != marked) {
        const int position = cursor.position();
        markBlock(cursor, cursor.block(), marked);
        cursor.setPosition(position);
    }
    cursor.endEditBlock();
}

bool breakLineAtPieceBreak(QTextCursor& cursor)
{
    if (cursor.hasSelection())
        return false;
    QTextBlock piece = cursor.block();
    if (!cursor.atBlockStart() || !continuesParagraph(piece)) {
        piece = piece.next();
        if (!cursor.atBlockEnd() || !piece.isValid() || !continuesParagraph(piece))
            return false;
    }
    markBlock(cursor, piece, false);
    return true;
}

void tidyAfterEdit(const QTextCursor& caret)
{
    const auto tooLong = [&] { return caret.block().length() - 1 > kLongestBlock; };
    if (!isStray(caret.block().previous()) && !isStray(caret.block()) && !tooLong())
        return;
    QTextCursor cursor(caret.document());
    cursor.joinPreviousEditBlock();
    // Each asked again: removing one changes what is beside the other.
    if (isStray(caret.block().previous()))
        removeStray(cursor, caret.block().previous());
    if (isStray(caret.block()))
        removeStray(cursor, caret.block());
    if (tooLong()) {
        const int position = caret.block().position();
        splitLongBlocks(caret.document(), position, position);
    }
    cursor.endEditBlock();
}

void splitLongBlocks(QTextDocument* document, int from, int to)
{
    QTextCursor cursor(document);
    const QTextBlock last = document->findBlock(to); // splitting keeps a block's first piece
    QTextBlock block = document->findBlock(from);
    while (block.isValid()) {
        const bool isLast = block == last;
        if (block.length() - 1 > kLongestBlock) {
            const int position = block.position();
            const int length = block.length();
            const int added = splitBlock(cursor, block);
            block = document->findBlock(position + length + added);
        } else {
            block = block.next();
        }
        if (isLast)
            break;
    }
}

} // namespace TextPieces
