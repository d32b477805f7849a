// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "settingswindow/helptext.h"
#include "lonewindow.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

QRect twips(int left, int top, int width, int height)
{
    auto px = [](int t) { return (t * 2 + 15) / 30; };
    return QRect(px(left), px(top), px(width), px(height));
}

double luminance(const QColor& c)
{
    auto linear
        = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TstSettingsForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowIsHiddenFramelessAndFixed();
    void labelsAndCommandLabels_data();
    void labelsAndCommandLabels();
    void noteRowsInTheirInitialState_data();
    void noteRowsInTheirInitialState();
    void clockAndCalendars();
    void helpTextLineByLine();
    void helpBoxesShowTheirWholeText();
    void timersAndTheirStates();
    void overlapOrderFrontToBack();
    void everyControlHasAnAccessibleName();
    void textsStayReadableUnderADarkPalette();

private:
    std::unique_ptr<LoneSettingsWindow> m_lone;
    SettingsWindow* m_window = nullptr;
    template <typename T> T* find(const char* name)
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }
};

void TstSettingsForm::init()
{
    m_lone = std::make_unique<LoneSettingsWindow>();
    m_window = &m_lone->window;
}

void TstSettingsForm::cleanup() { m_lone.reset(); }

void TstSettingsForm::windowIsHiddenFramelessAndFixed()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmMain"));
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_window->windowFlags() & Qt::Tool);
    QVERIFY(m_window->windowTitle().isEmpty());
    // 10575 x 4830 twips of client area inside a one-pixel border, not resizable.
    QCOMPARE(child<QWidget>(*m_window, "frmMainClient")->geometry(), QRect(1, 1, 705, 322));
    QCOMPARE(m_window->minimumSize(), QSize(707, 324));
    QCOMPARE(m_window->maximumSize(), QSize(707, 324));
    QCOMPARE(child<QWidget>(*m_window, "frmMainClient")->palette().color(QPalette::Window),
        QColor(64, 64, 64));
    QVERIFY(!m_window->windowIcon().isNull());
}

void TstSettingsForm::labelsAndCommandLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<bool>("hand");
    QTest::newRow("Label2") << "Label2" << twips(720, 0, 1455, 375) << "Tackpad"
                            << "" << false;
    QTest::newRow("lblAd") << "lblAd" << twips(6000, 75, 660, 225) << "Ads"
                           << "Advertisement" << true;
    QTest::newRow("Label13") << "Label13" << twips(6840, 75, 1260, 225) << "Instructions"
                             << "Instruction." << true;
    QTest::newRow("lblTray") << "lblTray" << twips(8280, 73, 855, 225) << "&Tray  >>"
                             << "Shrink me to system tray" << true;
    QTest::newRow("Label3") << "Label3" << twips(480, 1680, 1455, 255) << "Setting"
                            << "" << false;
    QTest::newRow("Label5") << "Label5" << twips(2520, 1680, 1665, 255) << "Date"
                            << "" << false;
    QTest::newRow("Label6") << "Label6" << twips(5760, 1440, 1815, 255) << "Time"
                            << "" << false;
    QTest::newRow("Label8") << "Label8" << twips(5760, 1920, 735, 210) << "Hour"
                            << "" << false;
    QTest::newRow("Label9") << "Label9" << twips(6840, 1920, 735, 210) << "Min"
                            << "" << false;
    QTest::newRow("lblRed") << "lblRed" << twips(480, 3480, 1455, 255) << "Red Note"
                            << "Click to show note." << true;
    QTest::newRow("lblGreen") << "lblGreen" << twips(480, 2880, 1455, 255) << "Green Note"
                              << "Click to show note." << true;
    QTest::newRow("lblBlue") << "lblBlue" << twips(480, 2280, 1455, 255) << "Blue Note"
                             << "Click to show note." << true;
}

void TstSettingsForm::labelsAndCommandLabels()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(bool, hand);
    auto* label = m_window->findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->toolTip(), tooltip);
    QCOMPARE(label->cursor().shape() == Qt::PointingHandCursor, hand);
}

void TstSettingsForm::noteRowsInTheirInitialState_data()
{
    QTest::addColumn<NoteColour>("colour");
    QTest::addColumn<int>("top");
    QTest::addColumn<QColor>("colourOfRow");
    QTest::newRow("Blue") << NoteColour::Blue << 2280 << QColor(0, 255, 255);
    QTest::newRow("Green") << NoteColour::Green << 2880 << QColor(0, 255, 0);
    QTest::newRow("Red") << NoteColour::Red << 3480 << QColor(255, 128, 128);
}

void TstSettingsForm::noteRowsInTheirInitialState()
{
    QFETCH(NoteColour, colour);
    QFETCH(int, top);
    QFETCH(QColor, colourOfRow);
    const QByteArray w = colourWord(colour).toLatin1();
    auto* date = find<QLineEdit>("txtDate" + w);
    auto* hour = find<QLineEdit>("txtHour" + w);
    auto* min = find<QLineEdit>("txtMin" + w);
    auto* hourBar = find<QScrollBar>("VScrollHour" + w);
    auto* minBar = find<QScrollBar>("VScrollMin" + w);
    auto* chkDate = find<QCheckBox>("chk" + w);
    auto* chkTime = find<QCheckBox>("chk" + w + "1");
    auto* chkStart = find<QCheckBox>("chk" + w + "2");
    QVERIFY(date && hour && min && hourBar && minBar && chkDate && chkTime && chkStart);
    QCOMPARE(find<QLabel>("lbl" + w)->palette().color(QPalette::Window), colourOfRow);

    QCOMPARE(date->geometry(), twips(2520, top, 1669, 285));
    QCOMPARE(hour->geometry(), twips(5760, top, 615, 285));
    QCOMPARE(min->geometry(), twips(6840, top, 615, 285));
    QCOMPARE(hourBar->geometry(), twips(6360, top, 255, 375));
    QCOMPARE(minBar->geometry(), twips(7440, top, 255, 375));
    QCOMPARE(chkDate->geometry(), twips(4680, top, 255, 255));
    QCOMPARE(chkTime->geometry(), twips(8160, top, 255, 255));
    QCOMPARE(chkStart->geometry(), twips(9480, top, 255, 255));

    for (QLineEdit* field : { date, hour, min }) {
        QVERIFY(field->text().isEmpty());
        QVERIFY(field->isReadOnly());
        QCOMPARE(field->alignment(), Qt::AlignCenter);
        QCOMPARE(field->palette().color(QPalette::Base), colourOfRow);
        // The keyboard cannot change them.
        QTest::keyClicks(field, QStringLiteral("12"));
        QVERIFY(field->text().isEmpty());
    }
    QCOMPARE(hourBar->minimum(), 0);
    QCOMPARE(hourBar->maximum(), 23);
    QCOMPARE(hourBar->value(), 1);
    QCOMPARE(minBar->minimum(), 0);
    QCOMPARE(minBar->maximum(), 59);
    QCOMPARE(minBar->value(), 59);
    for (QScrollBar* bar : { hourBar, minBar }) {
        QCOMPARE(bar->orientation(), Qt::Vertical);
        QCOMPARE(bar->singleStep(), 1);
        QCOMPARE(bar->pageStep(), 1);
        QVERIFY(!bar->hasTracking()); // a dragged thumb reports once, when let go
    }
    for (QCheckBox* c : { chkDate, chkTime, chkStart }) {
        QVERIFY(!c->isChecked());
        QVERIFY(c->text().isEmpty());
        // It sits on the window's grey, its box white.
        const QImage look = c->grab().toImage();
        QCOMPARE(look.pixelColor(look.width() - 1, 0), QColor(64, 64, 64));
        QCOMPARE(look.pixelColor(look.width() - 1, look.height() - 1), QColor(64, 64, 64));
        QCOMPARE(look.pixelColor(look.width() / 3, look.height() / 2), QColor(Qt::white));
    }
    QVERIFY(!chkDate->isEnabled());
    QVERIFY(!chkTime->isEnabled());
    QVERIFY(chkStart->isEnabled());
    // The design's words, made a whole sentence.
    QVERIFY(chkStart->toolTip().startsWith(QStringLiteral("Once click")));
    QVERIFY(chkStart->toolTip().endsWith(QLatin1Char('.')));
}

void TstSettingsForm::clockAndCalendars()
{
    auto* frame = find<QGroupBox>("Frame1");
    QCOMPARE(frame->title(), QStringLiteral("System Date and Time"));
    QCOMPARE(frame->geometry(), twips(240, 600, 3735, 735));
    QCOMPARE(child<QLineEdit>(*m_window, "txtSysDate")->parentWidget(), frame);
    QCOMPARE(child<QLineEdit>(*m_window, "txtSysDate")->geometry(), twips(120, 240, 1815, 360));
    QCOMPARE(child<QLineEdit>(*m_window, "txtSysTime")->geometry(), twips(2280, 840, 1455, 360));
    for (QLineEdit* f :
        { child<QLineEdit>(*m_window, "txtSysDate"), child<QLineEdit>(*m_window, "txtSysTime") }) {
        QVERIFY(f->text().isEmpty());
        QVERIFY(f->isReadOnly());
        QCOMPARE(f->palette().color(QPalette::Base), QColor(224, 224, 224));
        QCOMPARE(f->font().pointSizeF(), 9.75);
    }
    for (NoteColour c : kAllNotes) {
        auto* cal
            = m_window->findChild<QCalendarWidget*>(QStringLiteral("Calendar") + colourWord(c));
        QVERIFY(cal);
        QVERIFY(cal->isHidden());
        QCOMPARE(cal->selectedDate(), QDate(2004, 4, 17));
        QCOMPARE(cal->geometry(), twips(4200, 1920, 4575, 2175));
        QCOMPARE(cal->palette().color(QPalette::Window), rowColour(c));
        QCOMPARE(cal->font().family(), QStringLiteral("Arial"));
    }
    struct Oval {
        const char* name;
        int left;
        QColor fill;
    };
    for (const Oval& o : { Oval { "Shape3", 5880, QColor(128, 255, 255) },
             Oval { "Shape2", 7320, QColor(0, 255, 0) },
             Oval { "Shape1", 8760, QColor(255, 128, 128) } })
        QCOMPARE(find<QWidget>(o.name)->geometry(), twips(o.left, 600, 1335, 435));
    QCOMPARE(find<QWidget>("Line4")->geometry().topLeft(), QPoint(8, 8));
    QCOMPARE(find<QWidget>("Line1")->geometry(), QRect(8, 24, 689, 1));
}

void TstSettingsForm::helpTextLineByLine()
{
    const QString text = instructionText();
    QCOMPARE(text.size(), 705);
    QCOMPARE(child<QPlainTextEdit>(*m_window, "txtInstruction")->toPlainText(),
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 15);
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n|\r[^\n]"))));
    const QStringList expected {
        QString(),
        QStringLiteral("      This program was designed to run  each time the computer start to "
                       "function properly."),
        QStringLiteral("      This setting page allow you to set the colour notes to pop up."),
        QString(),
        QStringLiteral("    1. Select the date you want the colour note to pop up."),
        QStringLiteral("        Check the check box under \"Show note at preset date \"."),
        QStringLiteral("        The colour notes will pop up at or after the preset date."),
        QString(),
        QStringLiteral(
            "     2. Select the time (Hour + Minutes) you want the colour note to pop up."),
        QStringLiteral("        Check the check box under \"Show note at preset  time\"."),
        QStringLiteral("        The colour notes will pop up at preset time."),
        QStringLiteral(" "),
        QStringLiteral("     3.  If you want the colour notes to pop up each time you run the "
                       "program, click the check box under "),
        QStringLiteral("          \"Show notes when pc starts\"."),
        QString(),
    };
    for (int i = 0; i < 15; ++i)
        QCOMPARE(lines.at(i), expected.at(i));
    QVERIFY(child<QPlainTextEdit>(*m_window, "txtInstruction")->isHidden());
    QVERIFY(!child<QPlainTextEdit>(*m_window, "txtInstruction")->isReadOnly());
    QCOMPARE(child<QPlainTextEdit>(*m_window, "txtInstruction")->geometry(),
        twips(360, 360, 9855, 3735));
    QVERIFY(child<QPlainTextEdit>(*m_window, "txtAd")->isHidden());
    QCOMPARE(child<QPlainTextEdit>(*m_window, "txtAd")->geometry(), twips(600, 600, 9375, 3255));
    QCOMPARE(child<QPlainTextEdit>(*m_window, "txtAd")->palette().color(QPalette::Text),
        QColor(64, 0, 0));
    QVERIFY(!child<QPlainTextEdit>(*m_window, "txtAd")->toPlainText().trimmed().isEmpty());
}

void TstSettingsForm::helpBoxesShowTheirWholeText()
{
    // Whatever face stands in for the design's (this test runs under DejaVu alone too), every
    // line stays whole on one line and all of them fit the box: there is nothing to scroll to.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    for (QPlainTextEdit* box : { child<QPlainTextEdit>(*m_window, "txtInstruction"),
             child<QPlainTextEdit>(*m_window, "txtAd") }) {
        box->show();
        QCoreApplication::processEvents();
        QCOMPARE(box->verticalScrollBar()->maximum(), 0);
        QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
        for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
            QCOMPARE(b.layout()->lineCount(), 1);
        box->hide();
    }
}

void TstSettingsForm::timersAndTheirStates()
{
    for (const char* name :
        { "tmrRed", "tmrGreen", "TmrBlue", "TmrRed1", "TmrGreen1", "TmrBlue1" }) {
        auto* t = find<QTimer>(name);
        QVERIFY2(t, name);
        QVERIFY(!t->isActive());
    }
    // The schedule starts the clock display, the shown settings window its credit line.
    QVERIFY(!find<QTimer>("TmrSys")->isActive());
    QCOMPARE(find<QTimer>("tmrMe")->interval(), intervals().creditLineMs);
    QCOMPARE(Intervals().creditLineMs, 2000);
    QVERIFY(!find<QTimer>("tmrMe")->isActive());
}

void TstSettingsForm::overlapOrderFrontToBack()
{
    const QObjectList children = child<QWidget>(*m_window, "frmMainClient")->children();
    auto z = [&](QWidget* w) { return children.indexOf(w); }; // later children are drawn above
    QVERIFY(z(child<QPlainTextEdit>(*m_window, "txtInstruction"))
        > z(child<QPlainTextEdit>(*m_window, "txtAd")));
    QVERIFY(z(child<QPlainTextEdit>(*m_window, "txtAd"))
        > z(child<QCalendarWidget>(*m_window, "CalendarRed")));
    QVERIFY(z(child<QCalendarWidget>(*m_window, "CalendarRed"))
        > z(child<QCalendarWidget>(*m_window, "CalendarBlue")));
    QVERIFY(z(child<QCalendarWidget>(*m_window, "CalendarBlue"))
        > z(child<QCalendarWidget>(*m_window, "CalendarGreen")));
    QVERIFY(z(child<QCalendarWidget>(*m_window, "CalendarGreen"))
        > z(child<QLineEdit>(*m_window, "txtDateRed")));
    // What is drawn on the window lies beneath every control.
    const QList<QWidget*> drawnBeneath { child<QLabel>(*m_window, "lblRed"),
        child<QWidget>(*m_window, "Line1"), child<QWidget>(*m_window, "Shape1"),
        child<QLabel>(*m_window, "Label13") };
    for (QWidget* beneath : drawnBeneath)
        QVERIFY(z(beneath) < z(child<QLineEdit>(*m_window, "txtDateBlue")));
    QVERIFY(
        z(child<QLineEdit>(*m_window, "txtSysTime")) > z(child<QGroupBox>(*m_window, "Frame1")));
}

void TstSettingsForm::everyControlHasAnAccessibleName()
{
    const QWidget* client = child<QWidget>(*m_window, "frmMainClient");
    for (QWidget* w : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->objectName().isEmpty())
            continue;
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
}

void TstSettingsForm::textsStayReadableUnderADarkPalette()
{
    const QPalette before = QApplication::palette();
    // Light texts on dark grounds, as dark desktop themes give.
    QPalette dark;
    for (auto role : { QPalette::Window, QPalette::Base, QPalette::Button, QPalette::Highlight })
        dark.setColor(role, QColor(48, 48, 48));
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        dark.setColor(role, QColor(238, 238, 238));
    QApplication::setPalette(dark);
    LoneSettingsWindow lone;
    const QWidget* client = child<QWidget>(lone.window, "frmMainClient");
    QApplication::setPalette(before);

    auto readable = [](QWidget* w, QPalette::ColorRole text, QPalette::ColorRole background,
                        QPalette::ColorGroup group = QPalette::Active) {
        const double ratio
            = contrast(w->palette().color(group, text), w->palette().color(group, background));
        QVERIFY2(ratio >= 4.5, qPrintable(w->objectName() + QStringLiteral(" %1").arg(ratio)));
    };
    for (auto* l : client->findChildren<QLabel*>()) {
        // The program's name is its logotype, red on the window's grey by design.
        if (l->objectName() != u"Label2" && !l->text().isEmpty())
            readable(l, QPalette::WindowText, QPalette::Window);
    }
    for (auto* e : client->findChildren<QLineEdit*>())
        readable(e, QPalette::Text, QPalette::Base);
    for (auto* e : client->findChildren<QPlainTextEdit*>())
        readable(e, QPalette::Text, QPalette::Base);
    for (NoteColour c : kAllNotes) {
        QCalendarWidget* cal = rowOf(lone.window, c).Calendar;
        readable(cal, QPalette::Text, QPalette::Base);
        readable(cal, QPalette::Text, QPalette::Base, QPalette::Disabled); // the other months' days
        readable(cal, QPalette::HighlightedText, QPalette::Highlight);
        const QColor weekend = cal->weekdayTextFormat(Qt::Sunday).foreground().color();
        QVERIFY(contrast(weekend, rowColour(c)) >= 4.5);
    }
}

QTEST_MAIN(TstSettingsForm)
#include "tst_settingsform.moc"
