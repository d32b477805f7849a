// SPDX-License-Identifier: GPL-3.0-or-later
#include "plaintextmirror.h"

#include "text/textpieces.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

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
    m_pieceBreaks.clear();
    m_text = TextPieces::plainText(m_document, 0, m_document->characterCount() - 1, &m_pieceBreaks);
}

void PlainTextMirror::contentsChange(int position, int removed, int added)
{
    // The document's last paragraph separator is no part of the text.
    const int length = m_document->characterCount() - 1;
    const int oldLength = int(m_text.size() + m_pieceBreaks.size());
    if (!m_document->rootFrame()->childFrames().isEmpty() || position < 0 || position > oldLength
        || position > length) {
        takeAll();
        return;
    }
    // Qt may report more than changed, up to the document's final separator.
    const int removedHere = qMin(removed, oldLength - position);
    const int addedHere = qMin(added, length - position);
    // The changed blocks are read whole, with the separator before them: where Qt merges an
    // empty block with the next, the merged block keeps the later one's format, which can turn
    // that separator into a piece break or back.
    const int from = qMax(0, m_document->findBlock(position).position() - 1);
    const QTextBlock last = m_document->findBlock(position + addedHere);
    const int to = qMin(length, last.position() + last.length() - 1);
    const int oldTo = to - addedHere + removedHere;
    const auto breakIndex = [this](int at) {
        return std::lower_bound(m_pieceBreaks.cbegin(), m_pieceBreaks.cend(), at)
            - m_pieceBreaks.cbegin();
    };
    const qsizetype first = breakIndex(from);
    const qsizetype end = breakIndex(oldTo);
    QList<int> newBreaks;
    const QString piece = TextPieces::plainText(m_document, from, to, &newBreaks);
    m_text.replace(from - first, oldTo - from - (end - first), piece);
    m_pieceBreaks.remove(first, end - first);
    for (qsizetype i = first; i < m_pieceBreaks.size(); ++i)
        m_pieceBreaks[i] += addedHere - removedHere;
    m_pieceBreaks.insert(first, newBreaks.size(), 0);
    std::copy(newBreaks.cbegin(), newBreaks.cend(), m_pieceBreaks.begin() + first);
    if (m_text.size() + m_pieceBreaks.size() != length)
        takeAll();
}
