// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"
#include "lonewindow.h"

#include "base/storekeys.h"
#include "schedule/datetext.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

void lowerArrow(QScrollBar* bar) { bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); }

void upperArrow(QScrollBar* bar) { bar->triggerAction(QAbstractSlider::SliderSingleStepSub); }

// Shows the settings window as the active one, so that the keyboard reaches it.
void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Picks the calendar's selected day with the keyboard, as a person presses Enter on it.
void pickDay(QCalendarWidget* cal, QDate day)
{
    cal->setSelectedDate(day);
    auto* view = cal->findChild<QTableView*>();
    QTest::keyClick(view, Qt::Key_Return);
}

} // namespace

class TstPresets : public QObject {
    Q_OBJECT
private slots:
    void pickingADayFillsTheFieldWritesAndHides();
    void pickingTheDayAlreadyShownChangesNothing();
    void navigatingTheCalendarPicksNothing();
    void twoCalendarsStayOpenUntilEachPicks();
    void timeSwitchNeedsBothFields();
    void movingABarWithTheSwitchSetWritesOffFirst();
    void firstMoveAfterStartFollowsTheBarNotTheField();
    void barsStopAtTheirEnds();
    void hourIsWrittenWithoutLeadingZero();
    void tabGoesThroughTheRowsLeftToRight();
    void keysAndWheelMoveABarOneStep_data();
    void keysAndWheelMoveABarOneStep();
    void dateSwitchArmsAndClearingLeavesTheCheckRunning();
    void showAtStartSwitchWritesOrRemoves();
    void emptyDateFieldDisarmsAndClearsTheSwitch();
    void whatTheEditorWritesComesBackAtTheNextStart_data();
    void whatTheEditorWritesComesBackAtTheNextStart();
};

void TstPresets::pickingADayFillsTheFieldWritesAndHides()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    app.show();
    const RowControls red = rowOf(app, NoteColour::Red);
    QTest::mouseClick(red.txtDate, Qt::LeftButton);
    QVERIFY(red.Calendar->isVisible());
    // The calendar shows the date it holds, not today's.
    QCOMPARE(red.Calendar->selectedDate(), QDate(2004, 4, 17));
    h.store.calls.clear();
    bool shownWhileFilled = false;
    connect(red.txtDate, &QLineEdit::textChanged,
        [&] { shownWhileFilled = red.Calendar->isVisible(); });
    pickDay(red.Calendar, QDate(2004, 7, 5));
    const QString text = DateText::formatDate(QDate(2004, 7, 5));
    QCOMPARE(red.txtDate->text(), text);
    QVERIFY(red.chkDate->isEnabled());
    QCOMPARE(h.store.changes(), QStringList { "Write Date/Red=" + text });
    QVERIFY(!red.Calendar->isVisible());
    QVERIFY(shownWhileFilled); // the field is filled before the calendar hides
    // Opened again, it shows the day last picked.
    QTest::mouseClick(red.txtDate, Qt::LeftButton);
    QCOMPARE(red.Calendar->selectedDate(), QDate(2004, 7, 5));
}

void TstPresets::pickingTheDayAlreadyShownChangesNothing()
{
    LoneSettingsWindow h;
    const QString text = DateText::formatDate(QDate(2004, 4, 17));
    h.store.set(QStringLiteral("Date/Green"), text);
    SettingsWindow& app = h.start();
    app.show();
    const RowControls green = rowOf(app, NoteColour::Green);
    h.store.calls.clear();
    QTest::mouseClick(green.txtDate, Qt::LeftButton);
    pickDay(green.Calendar, QDate(2004, 4, 17));
    QCOMPARE(green.txtDate->text(), text);
    QVERIFY(h.store.changes().isEmpty());
    QVERIFY(!green.Calendar->isVisible());
}

void TstPresets::navigatingTheCalendarPicksNothing()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    app.show();
    const RowControls blue = rowOf(app, NoteColour::Blue);
    QTest::mouseClick(blue.txtDate, Qt::LeftButton);
    blue.Calendar->showNextMonth();
    blue.Calendar->showNextYear();
    QVERIFY(blue.Calendar->isVisible());
    QVERIFY(blue.txtDate->text().isEmpty());
    QVERIFY(h.store.changes().isEmpty());
}

void TstPresets::twoCalendarsStayOpenUntilEachPicks()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    app.show();
    const RowControls red = rowOf(app, NoteColour::Red);
    const RowControls blue = rowOf(app, NoteColour::Blue);
    QTest::mouseClick(red.txtDate, Qt::LeftButton);
    QTest::mouseClick(blue.txtDate, Qt::LeftButton);
    QVERIFY(red.Calendar->isVisible() && blue.Calendar->isVisible());
    // Red covers Blue, whichever was opened last.
    const QObjectList z = child<QWidget>(app, "frmMainClient")->children();
    QVERIFY(z.indexOf(red.Calendar) > z.indexOf(blue.Calendar));
    pickDay(blue.Calendar, QDate(2027, 1, 2));
    QVERIFY(red.Calendar->isVisible() && !blue.Calendar->isVisible());
    pickDay(red.Calendar, QDate(2027, 1, 3));
    QVERIFY(!red.Calendar->isVisible());
    QVERIFY(child<QLineEdit>(app, "txtDateGreen")->text().isEmpty());
}

void TstPresets::timeSwitchNeedsBothFields()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    const RowControls red = rowOf(app, NoteColour::Red);
    lowerArrow(red.VScrollHour);
    QCOMPARE(red.txtHour->text(), QStringLiteral("2"));
    QCOMPARE(h.store.changes(), QStringList { "Write Hour/Red=2" }); // the switch was clear
    QVERIFY(!red.chkTime->isEnabled());
    upperArrow(red.VScrollMin);
    QCOMPARE(red.txtMin->text(), QStringLiteral("58"));
    QVERIFY(red.chkTime->isEnabled());
    QCOMPARE(h.store.changes(), QStringList({ "Write Hour/Red=2", "Write Min/Red=58" }));
}

void TstPresets::movingABarWithTheSwitchSetWritesOffFirst()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    const RowControls green = rowOf(app, NoteColour::Green);
    upperArrow(green.VScrollHour);
    upperArrow(green.VScrollMin);
    green.chkTime->click();
    QVERIFY(green.chkTime->isChecked());
    QVERIFY(green.tmrTime->isActive());
    h.store.calls.clear();
    upperArrow(green.VScrollMin);
    QVERIFY(!green.chkTime->isChecked());
    QVERIFY(!green.tmrTime->isActive());
    QCOMPARE(green.txtMin->text(), QStringLiteral("57"));
    QCOMPARE(h.store.changes(), QStringList({ "Write Timer/Green1=OFF", "Write Min/Green=57" }));
    // With the switch already clear nothing is written for it.
    h.store.calls.clear();
    lowerArrow(green.VScrollHour);
    QCOMPARE(h.store.changes(), QStringList { "Write Hour/Green=1" });
}

void TstPresets::firstMoveAfterStartFollowsTheBarNotTheField()
{
    for (bool lower : { true, false }) {
        LoneSettingsWindow h;
        h.store.set(QStringLiteral("Hour/Blue"), QStringLiteral("14"));
        h.store.set(QStringLiteral("Min/Blue"), QStringLiteral("30"));
        SettingsWindow& app = h.start();
        const RowControls blue = rowOf(app, NoteColour::Blue);
        QCOMPARE(blue.txtHour->text(), QStringLiteral("14"));
        lower ? lowerArrow(blue.VScrollHour) : upperArrow(blue.VScrollHour);
        QCOMPARE(blue.txtHour->text(), lower ? QStringLiteral("2") : QStringLiteral("0"));
        QCOMPARE(h.store.entries.value("Hour/Blue"), blue.txtHour->text());
    }
}

void TstPresets::barsStopAtTheirEnds()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    const RowControls red = rowOf(app, NoteColour::Red);
    // The minute bar starts at 59: its lower arrow changes nothing and runs nothing.
    lowerArrow(red.VScrollMin);
    QVERIFY(red.txtMin->text().isEmpty());
    QVERIFY(h.store.changes().isEmpty());
    upperArrow(red.VScrollHour);
    QCOMPARE(red.txtHour->text(), QStringLiteral("0"));
    h.store.calls.clear();
    upperArrow(red.VScrollHour); // no wrap-around to 23
    QCOMPARE(red.txtHour->text(), QStringLiteral("0"));
    QVERIFY(h.store.changes().isEmpty());
    for (int i = 0; i < 30; ++i)
        lowerArrow(red.VScrollHour);
    QCOMPARE(red.txtHour->text(), QStringLiteral("23"));
}

void TstPresets::hourIsWrittenWithoutLeadingZero()
{
    LoneSettingsWindow h;
    SettingsWindow& app = h.start();
    const RowControls red = rowOf(app, NoteColour::Red);
    for (int i = 0; i < 6; ++i)
        lowerArrow(red.VScrollHour);
    QCOMPARE(red.txtHour->text(), QStringLiteral("7"));
    QCOMPARE(h.store.entries.value("Hour/Red"), QStringLiteral("7"));
    // A thumb dragged and let go reports once.
    h.store.calls.clear();
    red.VScrollMin->setSliderDown(true);
    red.VScrollMin->setSliderPosition(5);
    red.VScrollMin->setSliderPosition(9);
    QVERIFY(h.store.changes().isEmpty());
    red.VScrollMin->setSliderDown(false);
    QCOMPARE(h.store.changes(), QStringList { "Write Min/Red=9" });
}

void TstPresets::tabGoesThroughTheRowsLeftToRight()
{
    LoneSettingsWindow h;
    for (const QString c : { "Red", "Green", "Blue" }) { // every switch available
        h.store.set("Date/" + c, DateText::formatDate(QDate(2030, 1, 1)));
        h.store.set("Hour/" + c, QStringLiteral("7"));
        h.store.set("Min/" + c, QStringLiteral("5"));
    }
    SettingsWindow& app = h.start();
    showActive(app);
    child<QCheckBox>(app, "chkBlue")->setFocus();
    QStringList order { "chkBlue" }, expected;
    for (const QString c : { "Blue", "Green", "Red" }) { // the rows from the top
        expected << "VScrollHour" + c << "VScrollMin" + c;
        expected += { "chk" + c + "1", "chk" + c + "2" };
        if (c == "Red") // then the title strip's commands, and round to the top row
            expected << "lblTray"
                     << "Label13"
                     << "lblAd"
                     << "lblBlue"
                     << "txtDateBlue"
                     << "chkBlue";
        else
            expected << (c == "Blue" ? "lblGreen" : "lblRed")
                     << (c == "Blue" ? "txtDateGreen" : "txtDateRed")
                     << (c == "Blue" ? "chkGreen" : "chkRed");
    }
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(!focus->accessibleName().isEmpty(), qPrintable(focus->objectName()));
        order << focus->objectName();
    }
    QCOMPARE(order, QStringList { "chkBlue" } + expected);
}

void TstPresets::keysAndWheelMoveABarOneStep_data()
{
    QTest::addColumn<bool>("minuteBar");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("wheel"); // degrees the wheel turns when no key is pressed
    QTest::addColumn<QString>("shown");
    // From the design values: the hour bar at 1, the minute bar at 59.
    QTest::newRow("Down on the hour bar") << false << int(Qt::Key_Down) << 0 << "2";
    QTest::newRow("Up on the hour bar") << false << int(Qt::Key_Up) << 0 << "0";
    QTest::newRow("Page Down is one step") << false << int(Qt::Key_PageDown) << 0 << "2";
    QTest::newRow("Page Up is one step") << true << int(Qt::Key_PageUp) << 0 << "58";
    QTest::newRow("a wheel notch down is one step") << false << 0 << -15 << "2";
    QTest::newRow("a wheel notch up is one step") << true << 0 << 15 << "58";
}

void TstPresets::keysAndWheelMoveABarOneStep()
{
    QFETCH(bool, minuteBar);
    QFETCH(int, key);
    QFETCH(int, wheel);
    QFETCH(QString, shown);
    LoneSettingsWindow h;
    h.store.set(QStringLiteral("Hour/Red"), QStringLiteral("14"));
    h.store.set(QStringLiteral("Min/Red"), QStringLiteral("30"));
    h.store.set(QStringLiteral("Timer/Red1"), QStringLiteral("ON"));
    SettingsWindow& app = h.start();
    const RowControls red = rowOf(app, NoteColour::Red);
    QVERIFY(red.tmrTime->isActive());
    QScrollBar* bar = minuteBar ? red.VScrollMin : red.VScrollHour;
    showActive(app);
    bar->setFocus();
    h.store.calls.clear();
    if (key) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    } else {
        const QPointF centre = QRectF(bar->rect()).center();
        QWheelEvent notch(centre, bar->mapToGlobal(centre), {}, { 0, wheel * 8 }, Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &notch);
    }
    // The same rule as an arrow: the switch and the check go first, then the value.
    QCOMPARE((minuteBar ? red.txtMin : red.txtHour)->text(), shown);
    QVERIFY(!red.chkTime->isChecked());
    QVERIFY(!red.tmrTime->isActive());
    QCOMPARE(h.store.changes(),
        QStringList({ "Write Timer/Red1=OFF",
            QStringLiteral("Write %1/Red=%2").arg(minuteBar ? "Min" : "Hour", shown) }));
}

void TstPresets::dateSwitchArmsAndClearingLeavesTheCheckRunning()
{
    LoneSettingsWindow h;
    h.store.set(QStringLiteral("Date/Red"), DateText::formatDate(QDate(2030, 1, 1)));
    SettingsWindow& app = h.start();
    const RowControls red = rowOf(app, NoteColour::Red);
    h.store.calls.clear();
    red.chkDate->click();
    QVERIFY(red.tmrDate->isActive());
    QCOMPARE(h.store.changes(), QStringList { "Write Timer/Red=ON" });
    red.chkDate->click();
    QVERIFY(red.tmrDate->isActive());
    QCOMPARE(h.store.changes(), QStringList({ "Write Timer/Red=ON", "Write Timer/Red=OFF" }));
}

void TstPresets::showAtStartSwitchWritesOrRemoves()
{
    LoneSettingsWindow h;
    h.store.set(QStringLiteral("Always/Blue"), QStringLiteral("OFF"));
    SettingsWindow& app = h.start();
    const RowControls blue = rowOf(app, NoteColour::Blue);
    QVERIFY(!blue.chkStart->isChecked());
    h.store.calls.clear();
    blue.chkStart->click();
    QCOMPARE(h.store.entries.value("Always/Blue"), QStringLiteral("ON"));
    blue.chkStart->click();
    QVERIFY(!h.store.entries.contains("Always/Blue"));
    QCOMPARE(h.store.changes(), QStringList({ "Write Always/Blue=ON", "Remove Always/Blue" }));
    QVERIFY(h.popped.isEmpty());
}

void TstPresets::emptyDateFieldDisarmsAndClearsTheSwitch()
{
    LoneSettingsWindow h;
    h.store.set(QStringLiteral("Date/Green"), DateText::formatDate(QDate(2030, 1, 1)));
    h.store.set(QStringLiteral("Timer/Green"), QStringLiteral("ON"));
    SettingsWindow& app = h.start();
    const RowControls green = rowOf(app, NoteColour::Green);
    QVERIFY(green.tmrDate->isActive());
    h.store.calls.clear();
    green.txtDate->clear();
    QVERIFY(!green.tmrDate->isActive());
    QVERIFY(!green.chkDate->isEnabled());
    QVERIFY(!green.chkDate->isChecked());
    QCOMPARE(h.store.changes(), QStringList({ "Write Timer/Green=OFF", "Write Date/Green=" }));
}

void TstPresets::whatTheEditorWritesComesBackAtTheNextStart_data()
{
    QTest::addColumn<NoteColour>("colour");
    for (NoteColour c : kAllNotes)
        QTest::newRow(qPrintable(colourWord(c))) << c;
}

void TstPresets::whatTheEditorWritesComesBackAtTheNextStart()
{
    QFETCH(NoteColour, colour);
    RecordingStore kept;
    {
        LoneSettingsWindow h;
        SettingsWindow& app = h.start();
        const RowControls row = rowOf(app, colour);
        pickDay(row.Calendar, QDate(2027, 1, 2));
        lowerArrow(row.VScrollHour);
        upperArrow(row.VScrollMin);
        for (QCheckBox* c : { row.chkDate, row.chkTime, row.chkStart })
            c->click();
        // Every entry written is one of the table's, for this note.
        for (const QString& key : h.store.entries.keys()) {
            const auto entry = storeEntryAt(key.section(u'/', 0, 0), key.section(u'/', 1));
            QVERIFY2(entry && entry->second == colour, qPrintable(key));
        }
        QCOMPARE(
            h.store.entries.value(dateSwitch(colour).section + u'/' + dateSwitch(colour).key), kOn);
        kept.entries = h.store.entries;
    }
    LoneSettingsWindow next;
    next.store.entries = kept.entries;
    SettingsWindow& app = next.start();
    const RowControls row = rowOf(app, colour);
    QCOMPARE(row.txtDate->text(), DateText::formatDate(QDate(2027, 1, 2)));
    QCOMPARE(row.txtHour->text(), QStringLiteral("2"));
    QCOMPARE(row.txtMin->text(), QStringLiteral("58"));
    QVERIFY(row.chkDate->isChecked() && row.chkTime->isChecked() && row.chkStart->isChecked());
    QVERIFY(row.tmrDate->isActive() && row.tmrTime->isActive());
    QCOMPARE(next.popped, QList<NoteColour> { colour });
    QCOMPARE(next.store.entries, kept.entries);
}

QTEST_MAIN(TstPresets)
#include "tst_presets.moc"
