// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "lonewindow.h"
#include "text/notetextbox.h"
#include "widgets/accessiblelineedit.h"
#include "widgets/commandlabel.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

namespace {

// A query that never returns would hold the test until CTest's timeout; this names it and ends
// the test at once instead.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : m_thread([this, limit] {
            std::unique_lock lock(m_mutex);
            if (!m_stopped.wait_for(lock, limit, [this] { return m_stop; })) {
                std::fprintf(stderr, "FAIL! no answer to %s\n", m_current.c_str());
                std::_Exit(1);
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_stopped.notify_all();
        m_thread.join();
    }
    void asking(const QString& what)
    {
        std::lock_guard lock(m_mutex);
        m_current = what.toStdString();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stop = false;
    std::string m_current = "nothing yet";
    std::thread m_thread;
};

const QAccessible::TextBoundaryType kBoundaries[]
    = { QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
          QAccessible::ParagraphBoundary, QAccessible::LineBoundary, QAccessible::NoBoundary };

void collectTexts(QAccessibleInterface* node, QList<QAccessibleInterface*>& out)
{
    if (node->textInterface())
        out << node;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i))
            collectTexts(child, out);
    }
}

} // namespace

class TstAccessibleText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyTextAnswersEveryQueryAtEveryOffset();
    void aFieldReadsAsQtReadsIt();
    void commandsReadAsButtonsAndShapesAsNothing();
    void controlsSayWhatTheyHoldAndWhatMakesThemAvailable();
    void calendarReadsTheDayWholeAsItMoves();
};

void TstAccessibleText::initTestCase() { AccessibleLineEdit::install(); }

// What a screen reader asks as the caret moves by character, word, sentence and line, at every
// offset of every text of both windows: each answer comes back, lies within the text, and a
// field's pieces, read one after another, give its whole text.
void TstAccessibleText::everyTextAnswersEveryQueryAtEveryOffset()
{
    LoneSettingsWindow lone;
    SettingsWindow& settings = lone.window;
    const QObject& f = settings;
    child<QLineEdit>(f, "txtDateRed")->setText(QStringLiteral("April 01, 2004"));
    child<QLineEdit>(f, "txtDateGreen")->setText(QStringLiteral("Dezember 08, 2026. "));
    child<QLineEdit>(f, "txtHourRed")->setText(QStringLiteral("7"));
    child<QLineEdit>(f, "txtSysDate")->setText(QStringLiteral("May 18, 2004"));
    child<QLineEdit>(f, "txtSysTime")->setText(QStringLiteral("12:05"));
    child<QPlainTextEdit>(f, "txtInstruction")
        ->setPlainText(QStringLiteral("Pick a day.\nThen set the switch."));
    settings.show();
    QWidget noteWindow;
    auto* note = new NoteTextBox(&noteWindow, {});
    note->setPlainText(QStringLiteral("Pay the rent\n\nCall the dentist, Friday.  "));
    noteWindow.show();

    Watchdog watchdog(std::chrono::seconds(20));
    std::set<QObject*> read;
    for (QWidget* window : { static_cast<QWidget*>(&settings), &noteWindow }) {
        QList<QAccessibleInterface*> texts;
        collectTexts(QAccessible::queryAccessibleInterface(window), texts);
        for (QAccessibleInterface* node : texts) {
            read.insert(node->object());
            QAccessibleTextInterface* t = node->textInterface();
            const int n = t->characterCount();
            const QString whole = t->text(0, n);
            const QString name = node->object()->objectName();
            for (QAccessible::TextBoundaryType b : kBoundaries) {
                for (int offset = -2; offset <= n; ++offset) {
                    for (int where = 0; where < 3; ++where) {
                        const QString question
                            = QStringLiteral("%1: %2 of boundary %3 at offset %4");
                        const QString kind = QStringList { "before", "at", "after" }[where];
                        watchdog.asking(question.arg(name, kind).arg(int(b)).arg(offset));
                        int s = -1, e = -1;
                        const QString piece = where == 0 ? t->textBeforeOffset(offset, b, &s, &e)
                            : where == 1                 ? t->textAtOffset(offset, b, &s, &e)
                                                         : t->textAfterOffset(offset, b, &s, &e);
                        if (s == -1)
                            continue;
                        QVERIFY2(0 <= s && s <= e && e <= n, qPrintable(name));
                        QCOMPARE(piece, whole.mid(s, e - s));
                    }
                }
                if (!qobject_cast<QLineEdit*>(node->object()) || b == QAccessible::NoBoundary)
                    continue;
                QString again;
                for (int at = 0, s = -1, e = -1; at < n; at = e) {
                    again += t->textAtOffset(at, b, &s, &e);
                    QCOMPARE(s, at);
                }
                QCOMPARE(again, whole);
            }
        }
    }
    // Every shown text is read; an empty field only the program writes has none.
    for (auto* edit : settings.findChildren<QWidget*>()) {
        auto* field = qobject_cast<QLineEdit*>(edit);
        if ((field || qobject_cast<QPlainTextEdit*>(edit)) && edit->isVisibleTo(&settings)
            && !(field && field->text().isEmpty()))
            QVERIFY2(read.count(edit), qPrintable(edit->objectName()));
    }
    QVERIFY(read.count(note));
}

// The field reads as Qt's own does: its role, name, value and states, the word a move to its end
// lands on, its selection; and a reader cannot write into a field only the program writes.
void TstAccessibleText::aFieldReadsAsQtReadsIt()
{
    LoneSettingsWindow lone;
    SettingsWindow& settings = lone.window;
    QLineEdit* date = child<QLineEdit>(settings, "txtDateRed");
    date->setText(QStringLiteral("April 01, 2004"));
    settings.show();
    // QLineEdit places a centred text when it paints.
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    date->repaint();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(date);
    QVERIFY(a);
    QCOMPARE(a->role(), QAccessible::EditableText);
    QCOMPARE(a->text(QAccessible::Name), date->accessibleName());
    QCOMPARE(a->text(QAccessible::Value), date->text());
    QVERIFY(a->state().readOnly && a->state().editable && a->state().selectableText);

    QAccessibleTextInterface* t = a->textInterface();
    int s = -1, e = -1;
    date->end(false);
    QCOMPARE(t->textAtOffset(-2, QAccessible::WordBoundary, &s, &e), QStringLiteral("2004"));
    QCOMPARE(e, date->text().size());
    QCOMPARE(t->textAtOffset(-1, QAccessible::CharBoundary, &s, &e), QString());
    QCOMPARE(t->textBeforeOffset(10, QAccessible::WordBoundary, &s, &e), QStringLiteral(", "));
    QCOMPARE(t->textAfterOffset(0, QAccessible::WordBoundary, &s, &e), QStringLiteral(" "));
    QCOMPARE(t->textAtOffset(3, QAccessible::LineBoundary, &s, &e), date->text());
    // One run of attributes covers the whole text: a reader joins runs to find a line's end.
    t->attributes(5, &s, &e);
    QCOMPARE(QPair(s, e), QPair(0, int(date->text().size())));

    date->setSelection(6, 2);
    QCOMPARE(t->selectionCount(), 1);
    t->selection(0, &s, &e);
    QCOMPARE(QPair(s, e), QPair(6, 8));
    QCOMPARE(t->cursorPosition(), date->cursorPosition());

    const QRect first = t->characterRect(0);
    QVERIFY(!first.isEmpty());
    QCOMPARE(t->offsetAtPoint(first.center()), 0);

    a->editableTextInterface()->insertText(0, QStringLiteral("x"));
    a->setText(QAccessible::Value, QStringLiteral("x"));
    QCOMPARE(date->text(), QStringLiteral("April 01, 2004"));
    date->setReadOnly(false);
    a->editableTextInterface()->replaceText(0, 5, QStringLiteral("May"));
    QCOMPARE(date->text(), QStringLiteral("May 01, 2004"));
}

// Every command label reads as a button; a Click label is pressed by the reader's press action as
// by Space, a Hold label held until the next; the outline and the column markers are not there for
// a reader.
void TstAccessibleText::commandsReadAsButtonsAndShapesAsNothing()
{
    LoneSettingsWindow lone;
    SettingsWindow& settings = lone.window;
    const QObject& f = settings;
    settings.show();
    const auto commands = settings.findChildren<CommandLabel*>();
    QCOMPARE(commands.size(), 7); // three note names, Tray, Instructions, Ads, the credit line
    for (CommandLabel* c : commands) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        QCOMPARE(a->role(), QAccessible::Button);
        QCOMPARE(a->text(QAccessible::Name), c->accessibleName());
        QVERIFY(a->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }
    QSignalSpy clicked(child<CommandLabel>(f, "lblRed"), &CommandLabel::clicked);
    QAccessible::queryAccessibleInterface(child<QLabel>(f, "lblRed"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicked.count(), 1);
    // The help's press action holds it until the next, as Enter does.
    auto* instructions = child<CommandLabel>(f, "Label13");
    QAccessibleInterface* help = QAccessible::queryAccessibleInterface(instructions);
    QVERIFY(help->text(QAccessible::Description).contains(QStringLiteral("Enter shows it")));
    QSignalSpy held(instructions, &CommandLabel::held), letGo(instructions, &CommandLabel::letGo);
    help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(held.count(), 1);
    QCOMPARE(letGo.count(), 0);
    help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(letGo.count(), 1);

    for (QWidget* shape :
        std::initializer_list<QWidget*> { child<QWidget>(f, "Line1"), child<QWidget>(f, "Line2"),
            child<QWidget>(f, "Line3"), child<QWidget>(f, "Line4"), child<QWidget>(f, "Shape1"),
            child<QWidget>(f, "Shape2"), child<QWidget>(f, "Shape3") }) {
        QVERIFY(shape->isVisible() && !shape->accessibleName().isEmpty());
        QVERIFY2(QAccessible::queryAccessibleInterface(shape)->state().invisible,
            qPrintable(shape->objectName()));
    }
}

// A bar reads as its field's value, "not set" while that is empty; a date field says how to open
// its calendar; a heading reads its visible words; a switch not yet available says why.
void TstAccessibleText::controlsSayWhatTheyHoldAndWhatMakesThemAvailable()
{
    LoneSettingsWindow lone;
    SettingsWindow& settings = lone.window;
    const QObject& f = settings;
    settings.show();
    auto description = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
    };

    QAccessibleInterface* bar
        = QAccessible::queryAccessibleInterface(child<QScrollBar>(f, "VScrollHourRed"));
    QCOMPARE(bar->role(), QAccessible::ScrollBar);
    QVERIFY(!bar->valueInterface()); // the bar's own 1 is not the hour
    QVERIFY(bar->text(QAccessible::Description).startsWith(QStringLiteral("Not set.")));
    QVERIFY(bar->text(QAccessible::Description).contains(QStringLiteral("time switch")));
    child<QLineEdit>(f, "txtHourRed")
        ->setText(QStringLiteral("14")); // restored, the bar still at 1
    QVERIFY(bar->valueInterface());
    QCOMPARE(bar->valueInterface()->currentValue().toInt(), 14);
    QVERIFY(bar->text(QAccessible::Description).isEmpty());

    // An empty date field reads by its name and description: no text, no caret to follow.
    QVERIFY(
        !QAccessible::queryAccessibleInterface(child<QLineEdit>(f, "txtDateRed"))->textInterface());
    QVERIFY(description(child<QLineEdit>(f, "txtDateRed")).startsWith(QStringLiteral("Not set.")));
    QVERIFY(
        description(child<QLineEdit>(f, "txtDateRed")).contains(QStringLiteral("Alt+Down or F4")));
    QVERIFY(description(child<QLineEdit>(f, "txtDateRed")).contains(QStringLiteral("date switch")));
    child<QLineEdit>(f, "txtDateRed")->setText(QStringLiteral("April 01, 2004"));
    QVERIFY(!description(child<QLineEdit>(f, "txtDateRed")).contains(QStringLiteral("Not set")));
    QVERIFY(
        description(child<QLineEdit>(f, "txtDateRed")).contains(QStringLiteral("Enter, Space")));

    for (QLabel* heading :
        { child<QLabel>(f, "Label1"), child<QLabel>(f, "Label3"), child<QLabel>(f, "Label5"),
            child<QLabel>(f, "Label6"), child<QLabel>(f, "Label7"), child<QLabel>(f, "Label10") }) {
        QCOMPARE(QAccessible::queryAccessibleInterface(heading)->text(QAccessible::Name),
            heading->text());
    }

    // An unavailable switch keeps its place in the Tab order, read as itself, unavailable, and
    // what makes it available; once available, Tab reaches the switch itself. The Green row is
    // still empty (a date picked makes the Red one's date switch available).
    settings.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&settings));
    for (QCheckBox* unavailable :
        { child<QCheckBox>(f, "chkGreen"), child<QCheckBox>(f, "chkGreen1") }) {
        QVERIFY(!unavailable->isEnabled());
        QVERIFY(description(unavailable).startsWith(QStringLiteral("Unavailable until")));
        unavailable->setEnabled(true);
        unavailable->setFocus();
        QTest::keyClick(unavailable, Qt::Key_Backtab);
        QWidget* before = QApplication::focusWidget();
        QVERIFY(before != unavailable);
        unavailable->setEnabled(false);
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QAccessibleInterface* reached
            = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        QCOMPARE(reached->text(QAccessible::Name), unavailable->accessibleName());
        QCOMPARE(reached->role(), QAccessible::CheckBox);
        QVERIFY(reached->state().disabled && reached->state().focused);
        QVERIFY(reached->text(QAccessible::Description).startsWith(QStringLiteral("Unavailable")));
        unavailable->setEnabled(true);
        QCOMPARE(QApplication::focusWidget(), unavailable); // the keyboard stays on the switch
        QVERIFY(description(unavailable).isEmpty());
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), unavailable);
    }
}

// The day the keyboard is on in a calendar reads as its weekday, day, month and year, whether
// it moves by a day, a week, a month or a year.
void TstAccessibleText::calendarReadsTheDayWholeAsItMoves()
{
    LoneSettingsWindow lone;
    SettingsWindow& settings = lone.window;
    QCalendarWidget* calendar = child<QCalendarWidget>(settings, "CalendarRed");
    settings.show();
    calendar->show();
    settings.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&settings));
    auto* grid = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    grid->setFocus();
    QAccessibleInterface* days = QAccessible::queryAccessibleInterface(grid);
    QCOMPARE(days->role(), QAccessible::List);

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int days, months, years;
    } moves[] = {
        { Qt::Key_Right, {}, 1, 0, 0 },
        { Qt::Key_Down, {}, 7, 0, 0 },
        { Qt::Key_PageDown, {}, 0, 1, 0 },
        { Qt::Key_PageDown, Qt::ControlModifier, 0, 0, 1 },
        { Qt::Key_PageUp, Qt::ControlModifier, 0, 0, -1 },
    };
    for (const auto& m : moves) {
        const QDate expected
            = calendar->selectedDate().addDays(m.days).addMonths(m.months).addYears(m.years);
        QTest::keyClick(grid, m.key, m.modifiers);
        QCOMPARE(calendar->selectedDate(), expected);
        QAccessibleInterface* day = days->focusChild();
        QVERIFY(day);
        QCOMPARE(day->role(), QAccessible::ListItem);
        QVERIFY(day->state().focused);
        QCOMPARE(day->text(QAccessible::Name),
            calendar->locale().toString(expected, QLocale::LongFormat));
        QCOMPARE(days->child(days->indexOfChild(day)), day);
    }
}

QTEST_MAIN(TstAccessibleText)
#include "tst_accessibletext.moc"
