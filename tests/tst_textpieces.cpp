// SPDX-License-Identifier: GPL-3.0-or-later
// A long paragraph shown in pieces is still one paragraph: what is typed, deleted, pasted,
// copied, undone and saved is what the same edits make of the plain text.
#include "text/notetextbox.h"
#include "text/plaintextmirror.h"
#include "text/textpieces.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QtTest>

#include <memory>

namespace {

// The document position of a plain-text position; at a piece break, before or after it.
int docPosition(const QTextDocument* doc, int plain, bool afterBreak)
{
    int seen = 0;
    for (QTextBlock block = doc->begin();; block = block.next()) {
        const int length = block.length() - 1;
        const QTextBlock next = block.next();
        const bool pieceBreak = next.isValid() && TextPieces::continuesParagraph(next);
        if (plain < seen + length || (plain == seen + length && !(pieceBreak && afterBreak)))
            return block.position() + plain - seen;
        seen += length + (pieceBreak ? 0 : 1);
    }
}

// The plain-text positions of the piece breaks.
QList<int> pieceBreaks(const QTextDocument* doc)
{
    QList<int> at;
    int seen = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (TextPieces::continuesParagraph(block))
            at.append(seen);
        const QTextBlock next = block.next();
        seen += block.length() - 1 + (next.isValid() && !TextPieces::continuesParagraph(next));
    }
    return at;
}

QString words(QRandomGenerator& random, int size)
{
    QString text;
    while (text.size() < size)
        text += random.bounded(6) ? QStringLiteral("word ") : QStringLiteral("\u00e9\u20ac ");
    return text;
}

} // namespace

class TstTextPieces : public QObject {
    Q_OBJECT
private slots:
    void loadsCopiesAndUndoesAsOneParagraph();
    void randomEditsMatchThePlainText();
};

void TstTextPieces::loadsCopiesAndUndoesAsOneParagraph()
{
    NoteTextBox box(nullptr, {});
    PlainTextMirror mirror(box.document());
    // One word of 100 001 characters, of which all but the first take two UTF-16 units each.
    QString long1 = QStringLiteral("x");
    for (int i = 0; i < 50'000; ++i)
        long1 += QStringLiteral("\U0001F600");
    const QString text = QStringLiteral("head\n") + long1 + QStringLiteral("\r\ntail");
    box.setNoteText(text);
    const QString kept = QStringLiteral("head\n") + long1 + QStringLiteral("\ntail");
    QCOMPARE(box.noteText(), kept);
    QCOMPARE(mirror.text(), kept);
    QVERIFY(box.document()->blockCount() > 4); // the long paragraph is in pieces
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        QVERIFY(b.length() - 1 <= TextPieces::kLongestBlock);
        QVERIFY(b.text().isEmpty() || !b.text().back().isHighSurrogate()); // no character cut
    }
    QCOMPARE(box.document()->availableUndoSteps(), 0);
    QCOMPARE(box.textCursor().position(), 0);

    // A copy across piece breaks carries the paragraph, not the breaks.
    box.selectAll();
    box.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), kept);

    // A paste of a long line comes in pieces too; undo takes it out whole, redo puts it back.
    QTextCursor end = box.textCursor();
    end.movePosition(QTextCursor::End);
    box.setTextCursor(end);
    const int blocks = box.document()->blockCount();
    QGuiApplication::clipboard()->setText(QString(70'000, u'y'));
    box.paste();
    QVERIFY(box.document()->blockCount() > blocks + 1);
    QCOMPARE(mirror.text(), kept + QString(70'000, u'y'));
    box.undo();
    QCOMPARE(mirror.text(), kept);
    QCOMPARE(box.document()->blockCount(), blocks);
    box.redo();
    QCOMPARE(mirror.text(), kept + QString(70'000, u'y'));
    QCOMPARE(box.noteText(), mirror.text());

    // The edit menu's Delete, from the start of a piece to the end: Qt's own removal would
    // leave a line break there.
    box.setNoteText(QString(40'000, u'a') + QStringLiteral("\nc"));
    const QTextBlock piece = box.document()->begin().next();
    QVERIFY(TextPieces::continuesParagraph(piece));
    const int pieceStart = piece.position();
    QTextCursor selection(box.document());
    selection.setPosition(pieceStart);
    selection.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    box.setTextCursor(selection);
    std::unique_ptr<QMenu> menu(box.createEditMenu({}));
    QAction* remove = menu->findChild<QAction*>(QStringLiteral("edit-delete"));
    QVERIFY(remove);
    remove->trigger();
    QCOMPARE(mirror.text(), QString(pieceStart - 1, u'a'));
}

void TstTextPieces::randomEditsMatchThePlainText()
{
    QRandomGenerator random(20261208);
    NoteTextBox box(nullptr, {});
    PlainTextMirror mirror(box.document());
    QString model = words(random, 3 * TextPieces::kLongestBlock) + QStringLiteral("\nshort\n")
        + QString(2 * TextPieces::kLongestBlock, u'z');
    box.setNoteText(model);
    const QString loaded = model;
    QTextDocument* doc = box.document();
    for (int step = 0; step < 400; ++step) {
        // A third of the edits at a piece break, where the pieces show.
        const QList<int> breaks = pieceBreaks(doc);
        const int p = !breaks.isEmpty() && random.bounded(3) == 0
            ? breaks.at(random.bounded(breaks.size()))
            : int(random.bounded(model.size() + 1));
        QTextCursor cursor(doc);
        cursor.setPosition(docPosition(doc, p, random.bounded(2)));
        box.setTextCursor(cursor);
        const int kind = int(random.bounded(8));
        if (kind == 0) {
            QTest::keyClick(&box, Qt::Key_Backspace);
            if (p > 0)
                model.remove(p - 1, 1);
        } else if (kind == 1) {
            QTest::keyClick(&box, Qt::Key_Delete);
            model.remove(p, 1);
        } else if (kind == 2) {
            QTest::keyClick(&box, Qt::Key_Return);
            model.insert(p, u'\n');
        } else if (kind == 3) {
            const int q = qMin<int>(model.size(), p + int(random.bounded(40'000)));
            cursor.setPosition(docPosition(doc, q, random.bounded(2)), QTextCursor::KeepAnchor);
            box.setTextCursor(cursor);
            QTest::keyClick(&box, Qt::Key_Delete);
            model.remove(p, q - p);
        } else if (kind == 4) {
            const QString pasted = random.bounded(3) ? QStringLiteral("pasted\nlines")
                                                     : words(random, TextPieces::kLongestBlock);
            QGuiApplication::clipboard()->setText(pasted);
            box.paste();
            model.insert(p, pasted);
        } else if (kind == 5) {
            // An arrow key passes one character, at a piece break too.
            const bool right = random.bounded(2);
            QTest::keyClick(&box, right ? Qt::Key_Right : Qt::Key_Left);
            QTest::keyClick(&box, Qt::Key_A);
            model.insert(right ? qMin<int>(p + 1, model.size()) : qMax(p - 1, 0), u'a');
        } else {
            // Typing a run: enough of them make a piece grow past the longest block.
            const QString run = random.bounded(4) ? QStringLiteral("k") : QString(300, u'k');
            QTest::keyClicks(&box, run);
            model.insert(p, run);
        }
        if (mirror.text() != model || box.noteText() != model)
            QFAIL(qPrintable(QStringLiteral("step %1 (edit %2) differs").arg(step).arg(kind)));
        QVERIFY(box.textCursor().block().length() - 1 <= TextPieces::kLongestBlock);
    }
    // Undo walks back to the loaded text and redo forward to the last, the mirror the same as a
    // whole reading of the document at every step. (Where typing made a piece split, undo stops
    // there too, inside a typing run: a state that no step above ended in.)
    while (doc->isUndoAvailable()) {
        doc->undo();
        QCOMPARE(mirror.text(), box.noteText());
    }
    QCOMPARE(mirror.text(), loaded);
    while (doc->isRedoAvailable())
        doc->redo();
    QCOMPARE(mirror.text(), model);
    QCOMPARE(box.noteText(), model);
}

QTEST_MAIN(TstTextPieces)
#include "tst_textpieces.moc"
