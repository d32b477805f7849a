// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/plaintextmirror.h"

#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

class TstPlainTextMirror : public QObject {
    Q_OBJECT
private slots:
    void followsEveryKindOfEdit();
    void randomEditsNeverDrift();
};

void TstPlainTextMirror::followsEveryKindOfEdit()
{
    QTextEdit edit;
    PlainTextMirror mirror(edit.document());
    auto same = [&] { return mirror.text() == edit.toPlainText(); };
    QVERIFY(same());
    edit.setPlainText(QStringLiteral("first\nsecond\tline \u00a0nbsp"));
    QVERIFY(same());
    QTest::keyClicks(&edit, QStringLiteral("typed"));
    QVERIFY(same());
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier); // a line separator
    QVERIFY(same());
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QVERIFY(same());
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QVERIFY(same());
    QCOMPARE(mirror.text(), QString());
    edit.insertHtml(
        QStringLiteral("<b>bold</b> <i>it</i><p>para</p><ul><li>one</li><li>two</li></ul>"));
    QVERIFY(same());
    // A table is no run of characters: the mirror takes the whole text.
    edit.insertHtml(QStringLiteral("<table><tr><td>a</td><td>b</td></tr></table>after"));
    QVERIFY(same());
    edit.undo();
    QVERIFY(same());
    edit.undo();
    QVERIFY(same());
    edit.redo();
    QVERIFY(same());
    edit.clear();
    QVERIFY(same());
    edit.setHtml(QStringLiteral("<p>x</p><p>\U0001F600 y</p>"));
    QVERIFY(same());
    QTextCursor c(edit.document());
    c.movePosition(QTextCursor::End);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.setPosition(0, QTextCursor::KeepAnchor);
    c.mergeCharFormat(bold); // formatting only: the text stays
    QVERIFY(same());
}

void TstPlainTextMirror::randomEditsNeverDrift()
{
    QTextEdit edit;
    PlainTextMirror mirror(edit.document());
    QRandomGenerator random(20261208);
    const QStringList pieces { "a", "word ", "\n", "\t", "\u00a0", "\u2028", "\u00e9\u20ac",
        "\U0001F600", "long line of text ", "\r\n", "" };
    for (int step = 0; step < 3000; ++step) {
        QTextCursor c(edit.document());
        const int length = edit.document()->characterCount() - 1;
        const int a = int(random.bounded(length + 1));
        const int b = int(random.bounded(length + 1));
        c.setPosition(a);
        c.setPosition(b, QTextCursor::KeepAnchor);
        switch (random.bounded(10)) {
        case 0:
        case 1:
        case 2:
            c.insertText(pieces.at(int(random.bounded(pieces.size()))));
            break;
        case 3:
            c.insertBlock();
            break;
        case 4:
            c.removeSelectedText();
            break;
        case 5:
            c.deletePreviousChar();
            break;
        case 6:
            c.insertHtml(QStringLiteral("<b>b</b><p>p</p>"));
            break;
        case 7:
            edit.undo();
            break;
        case 8:
            edit.redo();
            break;
        case 9:
            if (random.bounded(20) == 0)
                edit.setPlainText(QStringLiteral("reset\nto this"));
            else
                c.insertText(QStringLiteral("x"));
            break;
        }
        if (mirror.text() != edit.toPlainText())
            QFAIL(qPrintable(QStringLiteral("drifted at step %1").arg(step)));
    }
}

QTEST_MAIN(TstPlainTextMirror)
#include "tst_plaintextmirror.moc"
