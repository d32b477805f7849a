// SPDX-License-Identifier: GPL-3.0-or-later
#include "notewrapping.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Words longer than this make the note wrap anywhere: Qt's wrapping at word boundaries searches
// each line's word to its end, which takes minutes for a word of a megabyte (a pasted blob).
constexpr qsizetype kLongestWord = 2000;
// Lines wrapped at word boundaries hold fewer characters than fit; estimates allow for that.
constexpr double kWordWrapSlack = 1.3;

} // namespace

NoteWrapping::NoteWrapping(QTextEdit* txt)
    : QObject(txt)
    , m_txt(txt)
{
}

int NoteWrapping::mostLines() const
{
    const double line = QFontMetricsF(m_txt->font()).lineSpacing();
    return int(kTallestLayout / qMax(line, 1.0));
}

QString NoteWrapping::refusal() const
{
    return tr("This note is full: it holds up to %L1 characters in %L2 lines. "
              "Nothing was added; the text is as it was.")
        .arg(kLargestNote)
        .arg(mostLines());
}

QString NoteWrapping::tooLongToShow() const
{
    return tr("This note holds %L1 lines, more than a note can show (%L2), so it is not shown "
              "here. Its text is kept as it is in Tackpad's settings file: shorten it there with "
              "a text editor, and it shows again at the next start.")
        .arg(m_paragraphs.size())
        .arg(mostLines());
}

bool NoteWrapping::fits(
    qsizetype size, int lines, const QString& removed, const QString& added) const
{
    const auto breaks = [](const QString& s) {
        return s.count(QChar::ParagraphSeparator) + s.count(u'\n') + s.count(u'\r');
    };
    const qsizetype newSize = size - removed.size() + added.size();
    const qsizetype newLines = lines - breaks(removed) + breaks(added);
    return newSize <= qMax(kLargestNote, size) && newLines <= qMax<qsizetype>(mostLines(), lines);
}

void NoteWrapping::adapt(const QString& text)
{
    m_paragraphs.clear();
    m_longestWord = 0;
    qsizetype paragraph = 0, word = 0;
    for (QChar c : text) {
        if (c == u'\n') {
            m_paragraphs.append(paragraph);
            paragraph = word = 0;
            continue;
        }
        ++paragraph;
        word = c.isSpace() ? 0 : word + 1;
        m_longestWord = qMax(m_longestWord, word);
    }
    m_paragraphs.append(paragraph);
    m_checkedSize = text.size();
    choose();
}

void NoteWrapping::widthChanged()
{
    if (!m_paragraphs.isEmpty())
        choose();
}

void NoteWrapping::choose()
{
    const QFontMetricsF metrics(m_txt->font());
    const double lineHeight = metrics.lineSpacing();
    const double charWidth = qMax(1.0, metrics.averageCharWidth());
    const auto heightAt = [&](double width) {
        const double perLine = qMax(1.0, width / (charWidth * kWordWrapSlack));
        double lines = 0;
        for (qsizetype length : m_paragraphs)
            lines += qMax(1.0, std::ceil(length / perLine));
        return lines * lineHeight;
    };
    // The width the text has when the vertical scroll bar shows.
    const double visible = qMax(1.0,
        m_txt->width() - 2 * m_txt->document()->documentMargin()
            - m_txt->verticalScrollBar()->sizeHint().width());
    int width = 0;
    if (heightAt(visible) > kTallestLayout) {
        // Too tall at the note's width: the narrowest wider page that keeps it low enough.
        width = int(visible);
        while (width < (1 << 24) && heightAt(width) > kTallestLayout)
            width *= 2;
    }
    m_txt->setWordWrapMode(m_longestWord > kLongestWord
            ? QTextOption::WrapAnywhere
            : QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (width == 0) {
        m_txt->setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    if (m_txt->lineWrapMode() != QTextEdit::FixedPixelWidth
        || m_txt->lineWrapColumnOrWidth() != width) {
        m_txt->setLineWrapColumnOrWidth(width);
        m_txt->setLineWrapMode(QTextEdit::FixedPixelWidth);
    }
}
