// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextEdit>

#include <functional>

class PlainTextMirror;

/// A note's rich-text box that takes text in only as plain text, from paste, drag and drop, keys
/// and input methods alike, so that nothing is shown that the stored plain text does not keep. It
/// shows a very long paragraph in pieces (see TextPieces), and its keys and copies treat the
/// pieces as the one paragraph they are.
class NoteTextBox final : public QTextEdit {
    Q_OBJECT
public:
    /// Asked before text replaces the selection; an insertion it refuses is dropped.
    using InsertCheck = std::function<bool(const QString& added)>;

    NoteTextBox(QWidget* parent, InsertCheck mayInsert);

    /// Replaces the whole text without undo, as setPlainText() does, long paragraphs in pieces.
    void setNoteText(const QString& text);
    /// The whole text as the note keeps it, kept up to date as it changes: a keystroke in a long
    /// note costs no conversion of the whole note.
    const QString& noteText() const;

    /// The usual edit menu, whose Cut and Delete remove the selection as the keys do.
    QMenu* createEditMenu(const QPoint& position);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    /// The plain text that a paste or a drop of this data inserts: no object placeholders.
    static QString plainTextOf(const QMimeData* source);
    bool refused(const QString& added) const { return m_mayInsert && !m_mayInsert(added); }
    void removeSelectedText(bool toClipboard);
    bool deleteAcrossPieceBreak(QKeyEvent* event);
    bool crossedOnlyPieceBreak(QKeyEvent* event) const;

    const InsertCheck m_mayInsert;
    PlainTextMirror* m_plainText;
};
