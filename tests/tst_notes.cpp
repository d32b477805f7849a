// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"
#include "windows.h"

#include "notes/noteform.h"
#include "notes/notes.h"
#include "notes/notewindow.h"
#include "notes/notewrapping.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <functional>

namespace {

QList<QWidget*> topLevelsNamed(const QString& name)
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name)
            out << w;
    }
    return out;
}

NoteTextBox* textOf(NoteWindow* w)
{
    return w->findChild<NoteTextBox*>(QStringLiteral("txt") + w->objectName().mid(3));
}

// Calls back at each show of a widget, where Qt tells a screen reader that it shows.
class ShowWatch final : public QObject {
public:
    ShowWatch(QWidget* w, std::function<void()> shown)
        : m_shown(std::move(shown))
    {
        w->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            m_shown();
        return false;
    }

private:
    std::function<void()> m_shown;
};

} // namespace

class TstNotes : public QObject {
    Q_OBJECT
private slots:
    void definitionOfEachNote_data();
    void definitionOfEachNote();
    void createdOnceByTheFirstRequest();
    void requestsDuringTheLoadStepActOnTheSameWindow();
    void typingWritesTheWholePlainTextAtEachChange();
    void storedTextComesBackWholeAndPlain();
    void deletedTextIsStoredEmptyAndNextRunStartsEmpty();
    void doubleClickHidesAndWritesNothing();
    void closeRequestHidesWithoutDestroying();
    void textBoxFollowsEveryResize();
    void dragByAnyButtonMovesTheNote_data();
    void dragByAnyButtonMovesTheNote();
    void failedWritesKeepTheTextOnScreen();
    void aMegabyteWordRestoresAndWrapsAnywhere();
    void caretStopsBlinkingWhenLeftAloneUntilAKeyOrClick();
    void resizingStopsWhereTheNoteCanBeGrabbed_data();
    void resizingStopsWhereTheNoteCanBeGrabbed();
    void onlyPlainTextComesIn();
    void aFullNoteRefusesMoreAndKeepsItsText();
    void aNoteThatPopsUpByItselfIsAnnouncedOnce();
    void askingForAShownNoteBringsItToTheKeyboard();
};

void TstNotes::definitionOfEachNote_data()
{
    QTest::addColumn<NoteColour>("colour");
    QTest::addColumn<QColor>("textColour");
    QTest::addColumn<QColor>("windowColour");
    QTest::newRow("Red") << NoteColour::Red << QColor(255, 128, 128) << QColor(192, 255, 255);
    QTest::newRow("Green") << NoteColour::Green << QColor(0, 255, 0) << QColor(0, 255, 0);
    QTest::newRow("Blue") << NoteColour::Blue << QColor(128, 255, 255) << QColor(192, 255, 255);
}

void TstNotes::definitionOfEachNote()
{
    QFETCH(NoteColour, colour);
    QFETCH(QColor, textColour);
    QFETCH(QColor, windowColour);
    RecordingStore store;
    RecordingPorts ports;
    NoteWindow w(colour, store, ports);
    const QString word = colourWord(colour);
    QCOMPARE(w.objectName(), QStringLiteral("frm") + word);
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(w.windowFlags() & Qt::Tool); // no taskbar button
    QVERIFY(w.windowTitle().isEmpty());
    QCOMPARE(w.size(), QSize(114, 126)); // 1710 x 1890 twips
    QCOMPARE(w.palette().color(QPalette::Window), windowColour);

    QTextEdit* txt = textOf(&w);
    QVERIFY(txt);
    QCOMPARE(txt->pos(), QPoint(0, 0));
    QCOMPARE(txt->size(), QSize(113, 129)); // 1695 x 1935 twips until the first resize
    QCOMPARE(txt->palette().color(QPalette::Base), textColour);
    QCOMPARE(txt->font().family(), QStringLiteral("Arial Narrow"));
    QCOMPARE(txt->font().pointSizeF(), 12.0);
    QVERIFY(!txt->font().bold() && !txt->font().italic());
    QCOMPARE(txt->toolTip(),
        QStringLiteral("click to edit, click and hold to move, double click to hide."));
    QVERIFY(txt->toPlainText().isEmpty());
    QVERIFY(txt->acceptRichText());
    QVERIFY(!txt->accessibleName().isEmpty());

    auto* sound = w.findChild<QTimer*>(QStringLiteral("TimerSound"));
    QVERIFY(sound);
    QVERIFY(!sound->isActive());
    QCOMPARE(sound->interval(), 0);

    // Topmost from the load step on.
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    w.Form_Load();
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
}

void TstNotes::createdOnceByTheFirstRequest()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    QSignalSpy created(&notes, &Notes::created);
    QVERIFY(!noteWindow(NoteColour::Red));
    QVERIFY(topLevelsNamed(QStringLiteral("frmRed")).isEmpty());

    // A Hide creates the window (text read, alert played) and leaves it hidden.
    store.set(QStringLiteral("Note/Red"), QStringLiteral("milk"));
    notes.Hide(NoteColour::Red);
    NoteWindow* red = noteWindow(NoteColour::Red);
    QVERIFY(red);
    QVERIFY(!red->isVisible());
    QCOMPARE(created.count(), 1);
    QCOMPARE(ports.tones(), 8);
    QCOMPARE(textOf(red)->toPlainText(), QStringLiteral("milk"));

    // Showing, hiding and showing again only changes visibility: no second load, no alert.
    store.set(QStringLiteral("Note/Red"), QStringLiteral("changed behind our back"));
    notes.Show(NoteColour::Red);
    QVERIFY(red->isVisible());
    red->move(red->pos() + QPoint(30, 20));
    const QPoint moved = red->pos();
    notes.Hide(NoteColour::Red);
    notes.Show(NoteColour::Red);
    notes.Show(NoteColour::Red);
    QCOMPARE(noteWindow(NoteColour::Red), red);
    QCOMPARE(created.count(), 1);
    QCOMPARE(ports.tones(), 8);
    QCOMPARE(textOf(red)->toPlainText(), QStringLiteral("milk"));
    QCOMPARE(red->pos(), moved);
    QCOMPARE(topLevelsNamed(QStringLiteral("frmRed")).size(), 1);
    QVERIFY(!noteWindow(NoteColour::Green));
}

void TstNotes::requestsDuringTheLoadStepActOnTheSameWindow()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    QSignalSpy created(&notes, &Notes::created);
    int reentered = 0;
    // While the first tone sounds, other handlers ask for the same note again.
    ports.onOut = [&](qint16 port, qint16) {
        if (port == 0x43 && reentered++ == 0) {
            notes.Show(NoteColour::Blue);
            notes.Hide(NoteColour::Blue);
            notes.Show(NoteColour::Blue);
        }
    };
    notes.Hide(NoteColour::Blue);
    QCOMPARE(created.count(), 1);
    QCOMPARE(ports.tones(), 8);
    QCOMPARE(topLevelsNamed(QStringLiteral("frmBlue")).size(), 1);
    // The request that created the note takes effect last.
    QVERIFY(!noteWindow(NoteColour::Blue)->isVisible());
}

void TstNotes::typingWritesTheWholePlainTextAtEachChange()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Green);
    NoteWindow* green = noteWindow(NoteColour::Green);
    QTextEdit* txt = textOf(green);
    store.calls.clear();
    txt->setFocus();
    QTest::keyClicks(txt, QStringLiteral("ab"));
    QTest::keyClick(txt, Qt::Key_Return);
    QTest::keyClicks(txt, QStringLiteral("c"));
    QCOMPARE(store.changes(),
        QStringList({ QStringLiteral("Write Note/Green=a"), QStringLiteral("Write Note/Green=ab"),
            QStringLiteral("Write Note/Green=ab\n"), QStringLiteral("Write Note/Green=ab\nc") }));
    // A paste with formatting keeps its look on screen, but only the plain text is stored.
    txt->clear();
    txt->insertHtml(QStringLiteral("<b>bold</b> and <i>italic</i>"));
    QCOMPARE(store.entries.value(QStringLiteral("Note/Green")), QStringLiteral("bold and italic"));
    QVERIFY(txt->toHtml().contains(QLatin1String("font-weight")));
}

void TstNotes::storedTextComesBackWholeAndPlain()
{
    RecordingStore store;
    RecordingPorts ports;
    const QString text
        = QStringLiteral("first line\nsecond\tline\n\n  fourth, with \"quotes\" \u00e9\u20ac");
    store.set(QStringLiteral("Note/Blue"), text);
    Notes notes(store, ports);
    notes.Show(NoteColour::Blue);
    QCOMPARE(textOf(noteWindow(NoteColour::Blue))->toPlainText(), text);
    // Restoring reads the entry and writes nothing back.
    QVERIFY(store.changes().isEmpty());
    QCOMPARE(store.calls, QStringList { QStringLiteral("Read Note/Blue") });
}

void TstNotes::deletedTextIsStoredEmptyAndNextRunStartsEmpty()
{
    RecordingStore store;
    RecordingPorts ports;
    {
        Notes notes(store, ports);
        notes.Show(NoteColour::Red);
        QTextEdit* txt = textOf(noteWindow(NoteColour::Red));
        QTest::keyClicks(txt, QStringLiteral("x"));
        QTest::keyClick(txt, Qt::Key_Backspace);
        QVERIFY(store.entries.contains(QStringLiteral("Note/Red")));
        QCOMPARE(store.entries.value(QStringLiteral("Note/Red")), QString());
    }
    Notes nextRun(store, ports);
    nextRun.Show(NoteColour::Red);
    QVERIFY(textOf(noteWindow(NoteColour::Red))->toPlainText().isEmpty());
}

void TstNotes::doubleClickHidesAndWritesNothing()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    NoteWindow* red = noteWindow(NoteColour::Red);
    QVERIFY(QTest::qWaitForWindowExposed(red));
    store.calls.clear();
    QTest::mouseDClick(textOf(red)->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    QVERIFY(!red->isVisible());
    QVERIFY(store.changes().isEmpty());
    QCOMPARE(noteWindow(NoteColour::Red), red);
}

void TstNotes::closeRequestHidesWithoutDestroying()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Green);
    NoteWindow* green = noteWindow(NoteColour::Green);
    QTest::keyClicks(textOf(green), QStringLiteral("keep me"));
    QVERIFY(!green->close());
    QVERIFY(!green->isVisible());
    notes.Show(NoteColour::Green);
    QCOMPARE(noteWindow(NoteColour::Green), green);
    QCOMPARE(textOf(green)->toPlainText(), QStringLiteral("keep me"));
    QCOMPARE(ports.tones(), 8);
}

void TstNotes::textBoxFollowsEveryResize()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Blue);
    NoteWindow* blue = noteWindow(NoteColour::Blue);
    QVERIFY(QTest::qWaitForWindowExposed(blue));
    QTextEdit* txt = textOf(blue);
    QCOMPARE(txt->geometry(), blue->rect());
    for (const QSize& size : { QSize(300, 200), blue->minimumSize(), QSize(640, 480) }) {
        blue->resize(size);
        QCOMPARE(txt->geometry(), QRect(QPoint(0, 0), size));
    }
}

void TstNotes::dragByAnyButtonMovesTheNote_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TstNotes::dragByAnyButtonMovesTheNote()
{
    QFETCH(Qt::MouseButton, button);
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    NoteWindow* red = noteWindow(NoteColour::Red);
    QVERIFY(QTest::qWaitForWindowExposed(red));
    QWidget* viewport = textOf(red)->viewport();
    const QPoint start = red->pos();
    // A press without a move leaves the note where it is.
    QTest::mousePress(viewport, button, {}, QPoint(50, 50));
    QTest::mouseRelease(viewport, button, {}, QPoint(50, 50));
    QCOMPARE(red->pos(), start);
    // Offscreen has no window manager move, so the note follows the pointer itself.
    QTest::mousePress(viewport, button, {}, QPoint(50, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(90, 70), viewport->mapToGlobal(QPointF(90, 70)),
        Qt::NoButton, button, {});
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, button, {}, QPoint(90, 70));
    QCOMPARE(red->pos(), start + QPoint(40, 20));
    QVERIFY(store.changes().isEmpty());
}

void TstNotes::failedWritesKeepTheTextOnScreen()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    QTextEdit* txt = textOf(noteWindow(NoteColour::Red));
    store.failWrites = true;
    QTest::keyClicks(txt, QStringLiteral("ab"));
    QCOMPARE(txt->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(store.changes(), QStringList({ "Write Note/Red=a", "Write Note/Red=ab" }));
    store.failWrites = false;
    QTest::keyClicks(txt, QStringLiteral("c"));
    QCOMPARE(store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("abc"));
}

void TstNotes::aMegabyteWordRestoresAndWrapsAnywhere()
{
    // Wrapping a word of a megabyte at word boundaries would keep start-up busy for minutes.
    RecordingStore store;
    RecordingPorts ports;
    const QString blob(1 << 20, u'x');
    store.set(QStringLiteral("Note/Blue"), blob);
    store.set(QStringLiteral("Note/Red"), QStringLiteral("short words wrap as usual"));
    Notes notes(store, ports);
    notes.Show(NoteColour::Blue);
    notes.Show(NoteColour::Red);
    NoteTextBox* blue = textOf(noteWindow(NoteColour::Blue));
    QTextEdit* red = textOf(noteWindow(NoteColour::Red));
    QVERIFY(QTest::qWaitForWindowExposed(noteWindow(NoteColour::Blue)));
    QCOMPARE(blue->noteText(), blob);
    QCOMPARE(blue->wordWrapMode(), QTextOption::WrapAnywhere);
    QCOMPARE(red->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Pasting such a word into a note switches it too, and clearing it switches back.
    red->setFocus();
    red->insertPlainText(QString(5000, u'y'));
    QCOMPARE(red->wordWrapMode(), QTextOption::WrapAnywhere);
    red->clear();
    QCOMPARE(red->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TstNotes::caretStopsBlinkingWhenLeftAloneUntilAKeyOrClick()
{
    const int flashTime = QApplication::cursorFlashTime();
    QVERIFY(flashTime > 0);
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    NoteWindow* red = noteWindow(NoteColour::Red);
    red->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(red));
    auto* rest = red->findChild<QTimer*>(QStringLiteral("caretRest"));
    QVERIFY(rest);
    QCOMPARE(rest->interval(), 10000); // GNOME's and GTK's
    rest->setInterval(10);
    QTextEdit* txt = textOf(red);
    QTest::mouseClick(txt->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    QVERIFY(txt->hasFocus());

    // Left alone, the cursor stops blinking (it stays on); a key or a click brings the blink back.
    QTRY_COMPARE(QApplication::cursorFlashTime(), 0);
    QTest::keyClick(txt, Qt::Key_Right);
    QCOMPARE(QApplication::cursorFlashTime(), flashTime);
    QTRY_COMPARE(QApplication::cursorFlashTime(), 0);
    QTest::mouseClick(txt->viewport(), Qt::LeftButton, {}, QPoint(60, 40));
    QCOMPARE(QApplication::cursorFlashTime(), flashTime);
    // The flash time is the whole program's: it comes back as the note loses the focus, so
    // that the next text field blinks as usual.
    QTRY_COMPARE(QApplication::cursorFlashTime(), 0);
    txt->clearFocus();
    QCOMPARE(QApplication::cursorFlashTime(), flashTime);
}

void TstNotes::resizingStopsWhereTheNoteCanBeGrabbed_data()
{
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<QPoint>("drag");
    QTest::newRow("bottom-right corner dragged up and left")
        << QPoint(-1, -1) << QPoint(-300, -300);
    QTest::newRow("top-left corner dragged down and right") << QPoint(1, 1) << QPoint(300, 300);
}

void TstNotes::resizingStopsWhereTheNoteCanBeGrabbed()
{
    QFETCH(QPoint, corner);
    QFETCH(QPoint, drag);
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    NoteWindow* red = noteWindow(NoteColour::Red);
    QVERIFY(QTest::qWaitForWindowExposed(red));
    const QSize least = red->minimumSize();
    QVERIFY(least.width() >= 40);
    QVERIFY(least.height() >= qMax(40, 2 * QFontMetrics(textOf(red)->font()).lineSpacing()));
    const QRect before = red->geometry();
    // Offscreen has no window manager resize, so the note resizes itself.
    QWidget* viewport = textOf(red)->viewport();
    const QPoint press
        = corner.x() < 0 ? QPoint(red->width() - 2, red->height() - 2) : QPoint(1, 1);
    QTest::mousePress(viewport, Qt::LeftButton, {}, press);
    QMouseEvent move(QEvent::MouseMove, QPointF(press + drag),
        viewport->mapToGlobal(QPointF(press + drag)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, press + drag);
    QCOMPARE(red->size(), least);
    // The edge that was not dragged stays put.
    if (corner.x() < 0)
        QCOMPARE(red->geometry().topLeft(), before.topLeft());
    else
        QCOMPARE(red->geometry().bottomRight(), before.bottomRight());
    // Hidden and shown again (from the tray, by a reminder), it is as usable as it was left.
    notes.Hide(NoteColour::Red);
    notes.Show(NoteColour::Red);
    QVERIFY(red->width() >= least.width() && red->height() >= least.height());
}

void TstNotes::onlyPlainTextComesIn()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    QTextEdit* txt = textOf(noteWindow(NoteColour::Red));
    auto* formatted = new QMimeData;
    formatted->setHtml(QStringLiteral("<b style='background:yellow'>bold</b><img src='x.png'>"
                                      "<table><tr><td>cell</td></tr></table>"));
    formatted->setText(QStringLiteral("bold") + QChar(QChar::ObjectReplacementCharacter)
        + QStringLiteral("\ncell"));
    QGuiApplication::clipboard()->setMimeData(formatted);
    txt->paste();
    // What shows is what is stored: plain text, no image placeholder, no table, no bold.
    QCOMPARE(txt->toPlainText(), QStringLiteral("bold\ncell"));
    QCOMPARE(store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("bold\ncell"));
    QVERIFY(txt->document()->rootFrame()->childFrames().isEmpty());
    QTextCursor first(txt->document());
    first.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(first.charFormat().fontWeight(), QFont::Normal);
    QVERIFY(!first.charFormat().hasProperty(QTextFormat::BackgroundBrush));
    // An image alone brings nothing.
    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    QVERIFY(!txt->canPaste());
    txt->paste();
    QCOMPARE(txt->toPlainText(), QStringLiteral("bold\ncell"));
}

void TstNotes::aFullNoteRefusesMoreAndKeepsItsText()
{
    RecordingStore store;
    RecordingPorts ports;
    const QString full(NoteWrapping::kLargestNote - 1, u'x');
    store.set(QStringLiteral("Note/Red"), full);
    Notes notes(store, ports);
    notes.Show(NoteColour::Red);
    NoteTextBox* txt = textOf(noteWindow(NoteColour::Red));
    txt->moveCursor(QTextCursor::End);
    QTest::keyClick(txt, Qt::Key_A); // the last character that fits
    QTest::keyClick(txt, Qt::Key_B);
    QGuiApplication::clipboard()->setText(QStringLiteral("more"));
    txt->paste();
    QCOMPARE(txt->noteText().size(), NoteWrapping::kLargestNote);
    QVERIFY(txt->noteText().endsWith(QStringLiteral("xa")));
    QCOMPARE(store.entries.value(QStringLiteral("Note/Red")).size(), NoteWrapping::kLargestNote);
    QVERIFY(QToolTip::text().contains(QStringLiteral("This note is full")));
}

// A note that pops up by itself is told to a screen reader as a desktop notification is, once:
// its name and the beginning of its text. Qt tells the reader of each accessible that shows;
// a show someone asked for, or a pop-up of a note already shown, tells nothing more.
void TstNotes::aNoteThatPopsUpByItselfIsAnnouncedOnce()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    const QString longLine = QStringLiteral("word ").repeated(60);
    store.set(QStringLiteral("Note/Green"), "Pay the rent\n\n  and the phone bill\n" + longLine);

    notes.Hide(NoteColour::Green); // made, its text read and its warble played
    NoteWindow* green = noteWindow(NoteColour::Green);
    auto* words = green->findChild<QWidget*>(QStringLiteral("announceGreen"));
    QVERIFY(words);
    QStringList told; // at each show: the role, the name, the description
    ShowWatch watch(words, [&] {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(words);
        told << QStringLiteral("%1 %2: %3")
                    .arg(a->role() == QAccessible::Notification ? "notification" : "other",
                        a->text(QAccessible::Name), a->text(QAccessible::Description));
    });
    notes.PopUp(NoteColour::Green);
    QCOMPARE(told.size(), 1);
    QVERIFY(green->isVisible());
    QVERIFY2(told[0].startsWith("notification Green note: Pay the rent and the phone bill word"),
        qPrintable(told[0]));
    QVERIFY(told[0].size() < 160 && told[0].endsWith("word"));
    notes.PopUp(NoteColour::Green); // already shown: stays as it is
    notes.Hide(NoteColour::Green);
    notes.Show(NoteColour::Green);
    QCOMPARE(told.size(), 1);
    notes.Hide(NoteColour::Green);
    notes.PopUp(NoteColour::Green);
    QCOMPARE(told.size(), 2);

    // Nothing of it is seen or reached: no size, no keyboard, no mouse.
    QVERIFY(words->size().isEmpty() && words->focusPolicy() == Qt::NoFocus);
    QVERIFY(words->testAttribute(Qt::WA_TransparentForMouseEvents));
}

// Someone who asks for a note that is already shown (it popped up, or sits under another
// window) gets it in front with the keyboard in its text, as when it was hidden.
void TstNotes::askingForAShownNoteBringsItToTheKeyboard()
{
    RecordingStore store;
    RecordingPorts ports;
    Notes notes(store, ports);
    notes.PopUp(NoteColour::Red);
    NoteWindow* red = noteWindow(NoteColour::Red);
    QTRY_VERIFY(red->isVisible());
    notes.Show(NoteColour::Blue);
    NoteWindow* blue = noteWindow(NoteColour::Blue);
    QTRY_COMPARE(QApplication::activeWindow(), blue);

    notes.Show(NoteColour::Red);
    QTRY_COMPARE(QApplication::activeWindow(), red);
    QCOMPARE(QApplication::focusWidget(), textOf(red));
    QVERIFY(blue->isVisible());
}

QTEST_MAIN(TstNotes)
#include "tst_notes.moc"
