// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QTextBlock;
class QTextCursor;
class QTextDocument;

/// A note's paragraph longer than kLongestBlock characters is shown as several blocks of its
/// document, its pieces: Qt lays out a whole block again on every change to it, which takes over
/// a second for a paragraph of ten megabytes and a few milliseconds for a piece. Every piece
/// after the first carries a mark in its block format, so the separator before a marked block
/// is a piece break, no part of the text. Undo and redo keep the marks, since they keep block
/// formats; a new paragraph must not take the mark over from the block it is split from.
namespace TextPieces {

/// A block longer than this is split into pieces.
inline constexpr int kLongestBlock = 32 * 1024;
/// About how long the pieces of a split block are.
inline constexpr int kPiece = kLongestBlock / 2;

/// Whether the separator before this block is a piece break.
bool continuesParagraph(const QTextBlock& block);

/// The text of the document between two positions as the note keeps it: piece breaks left out,
/// the other characters as QTextDocument::toPlainText() writes them. The positions of the piece
/// breaks found in the range are appended to `pieceBreaks`.
QString plainText(
    const QTextDocument* document, int from, int to, QList<int>* pieceBreaks = nullptr);

/// Replaces the cursor's selection by plain text, as one edit: each line break starts a new
/// paragraph, and the blocks it touches are split into pieces where they are too long.
void insert(QTextCursor& cursor, const QString& text);

/// Removes the cursor's selection. Where Qt's own removal empties the first block, what is left
/// takes the format of the block after it; this gives it back the first block's piece mark, so
/// that no line break comes or goes with the removal.
void removeSelection(QTextCursor& cursor);

/// A line break where the cursor stands at a piece break, made of that break: true if it was.
bool breakLineAtPieceBreak(QTextCursor& cursor);

/// After an edit at the cursor: removes an empty block there that stands next to a piece break
/// (it shows as a line that the text does not have) and splits the cursor's block if it has
/// grown too long, as part of that edit.
void tidyAfterEdit(const QTextCursor& cursor);

/// Splits the blocks from the one at `from` to the one at `to` that are longer than
/// kLongestBlock, as part of the document's current edit.
void splitLongBlocks(QTextDocument* document, int from, int to);

} // namespace TextPieces
