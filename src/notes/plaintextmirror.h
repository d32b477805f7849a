// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QTextDocument;

/// The plain text of a document, kept up to date from its change notifications, so that a
/// keystroke in a long note does not cost a conversion of the whole note. It always equals the
/// document's toPlainText(); where an edit is not a simple run of characters (tables, frames), it
/// takes the whole text again.
class PlainTextMirror final : public QObject {
    Q_OBJECT
public:
    explicit PlainTextMirror(QTextDocument* document);

    const QString& text() const { return m_text; }
    /// How often the whole text was taken instead of the changed part.
    int wholeTextTakes() const { return m_wholeTextTakes; }

private:
    void contentsChange(int position, int removed, int added);
    void takeAll();

    QTextDocument* m_document;
    QString m_text;
    int m_wholeTextTakes = 0;
};
