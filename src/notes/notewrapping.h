// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTextEdit;

/// How a note's text wraps, so that any text it may hold is laid out in bounded time, and the
/// largest text it takes.
///
/// Qt lays a text box's document out on one endless page of 8 388 607 pixels (INT_MAX / 256), and
/// its step-by-step layout never finishes once the text is taller than that: a log of 48 000
/// lines of 90 characters, wrapped at a note's width in its narrow font, is 8.5 million pixels
/// tall and holds a core for good. So a text that would wrap that tall at the note's width wraps
/// wider instead (the note then scrolls sideways too), and no text is taken that is
/// that tall even with every paragraph on one line.
class NoteWrapping final : public QObject {
    Q_OBJECT
public:
    /// The most characters a note holds.
    static constexpr qsizetype kLargestNote = 12'000'000;
    /// The tallest a note's text is laid out, in pixels: well below the endless page.
    static constexpr int kTallestLayout = 6'000'000;

    explicit NoteWrapping(QTextEdit* txt);

    /// Chooses the wrapping for this text, the text box's whole plain text.
    void adapt(const QString& text);
    /// Chooses again for the text box's new width.
    void widthChanged();
    /// Whether the text may grow from `size` characters in `lines` paragraphs by `added`
    /// replacing `removed`.
    bool fits(qsizetype size, int lines, const QString& removed, const QString& added) const;
    /// The most paragraphs a note holds in its font.
    int mostLines() const;
    /// What a refused insertion tells the user.
    QString refusal() const;
    /// Whether the text last adapted to can be laid out at all: not if it has more lines than a
    /// note holds (a text written into the settings file by other means).
    bool canShow() const { return m_paragraphs.size() <= mostLines(); }
    /// What a note shows in place of a text it cannot show.
    QString tooLongToShow() const;

    /// The text's length when the wrapping was last chosen.
    qsizetype checkedSize() const { return m_checkedSize; }

private:
    void choose();

    QTextEdit* m_txt;
    QList<qsizetype> m_paragraphs; // lengths of the text's paragraphs
    qsizetype m_longestWord = 0;
    qsizetype m_checkedSize = 0;
};
