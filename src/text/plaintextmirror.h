// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTextDocument;

/// The plain text of a note's document, kept up to date from its change notifications, so that
/// a keystroke in a long note does not cost a conversion of the whole note. It always equals
/// TextPieces::plainText() of the whole document: toPlainText() without the breaks between the
/// pieces of a long paragraph. Where an edit is not a simple run of characters (tables, frames),
/// it takes the whole text again.
class PlainTextMirror final : public QObject {
    Q_OBJECT
public:
    explicit PlainTextMirror(QTextDocument* document);

    const QString& text() const { return m_text; }

private:
    void contentsChange(int position, int removed, int added);
    void takeAll();

    QTextDocument* m_document;
    QString m_text;
    QList<int> m_pieceBreaks; // the document positions of the piece breaks, in order
};
