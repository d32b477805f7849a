// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextEdit>

#include <functional>

/// A note's rich-text box that takes text in only as plain text, from paste, drag and drop, keys
/// and input methods alike, so that nothing is shown that the stored plain text does not keep. It
/// shows a very long paragraph in pieces (see TextPieces), and its keys and copies treat the
/// pieces as the one paragraph they are.
class NoteTextBox final : public QTextEdit {
    Q_OBJECT
public:
    explicit NoteTextBox(QWidget* parent);

    /// Replaces the whole text without undo, as setPlainText() does, long paragraphs in pieces.
    void setNoteText(const QString& text);
    /// The whole text as the note keeps it.
    QString noteText() const;

    /// The usual edit menu, whose Cut and Delete remove the selection as the keys do.
    QMenu* createEditMenu(const QPoint& position);

    /// Asked before text replaces the selection; an insertion it refuses is dropped.
    std::function<bool(const QString& added)> mayInsert;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    /// The plain text that a paste or a drop of this data inserts: no object placeholders.
    static QString plainTextOf(const QMimeData* source);
    bool refused(const QString& added) const { return mayInsert && !mayInsert(added); }
    void removeSelectedText(bool toClipboard);
    bool deleteAcrossPieceBreak(QKeyEvent* event);
    bool crossedOnlyPieceBreak(QKeyEvent* event) const;
};
