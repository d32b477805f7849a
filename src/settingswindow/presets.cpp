// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets.h"

#include "base/settingsstore.h"
#include "base/storekeys.h"
#include "schedule/datetext.h"
#include "settingswindow/reminders.h"
#include "settingswindow/settingsform.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

namespace {

// The calendar's day grid, which takes its keys.
QAbstractItemView* calendarView(QCalendarWidget* calendar)
{
    return calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
}

// The keys that open a date field's calendar, as they open a drop-down list.
bool opensCalendar(const QKeyEvent* e)
{
    const int key = e->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space
        || key == Qt::Key_F4 || (key == Qt::Key_Down && e->modifiers() & Qt::AltModifier);
}

} // namespace

PresetEditor::PresetEditor(
    SettingsForm& form, SettingsStore& store, Reminders& reminders, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_store(store)
    , m_reminders(reminders)
{
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        row.txtDate->installEventFilter(this);
        calendarView(row.Calendar)->installEventFilter(this);
        // A day picked with the keyboard leaves the keyboard where the calendar was opened.
        connect(row.Calendar, &QCalendarWidget::activated, this,
            [this, c] { m_form.row(c).txtDate->setFocus(Qt::OtherFocusReason); });
        connect(
            row.Calendar, &QCalendarWidget::clicked, this, [this, c] { Calendar_DayPicked(c); });
        connect(
            row.Calendar, &QCalendarWidget::activated, this, [this, c] { Calendar_DayPicked(c); });
        connect(row.txtDate, &QLineEdit::textChanged, this, [this, c] { txtDate_Change(c); });
        connect(row.txtHour, &QLineEdit::textChanged, this, [this, c] { txtHourMin_Change(c); });
        connect(row.txtMin, &QLineEdit::textChanged, this, [this, c] { txtHourMin_Change(c); });
        connect(
            row.VScrollHour, &QScrollBar::valueChanged, this, [this, c] { VScrollHour_Change(c); });
        connect(
            row.VScrollMin, &QScrollBar::valueChanged, this, [this, c] { VScrollMin_Change(c); });
        connect(row.chkDate, &QCheckBox::toggled, this, [this, c] { chkDate_Click(c); });
        connect(row.chkTime, &QCheckBox::toggled, this, [this, c] { chkTime_Click(c); });
        connect(row.chkStart, &QCheckBox::toggled, this, [this, c] { chkStart_Click(c); });
    }
}

bool PresetEditor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    for (NoteColour c : kAllNotes) {
        const NoteRow row = m_form.row(c);
        if (watched == row.txtDate) {
            if (type == QEvent::MouseButtonRelease
                && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                txtDate_Click(c);
            if (type == QEvent::KeyPress && opensCalendar(static_cast<QKeyEvent*>(event))) {
                txtDate_Click(c);
                calendarView(row.Calendar)->setFocus(Qt::OtherFocusReason);
                return true;
            }
        } else if (watched == calendarView(row.Calendar) && type == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            // Closed without picking: the field and its entry stay as they were.
            row.Calendar->hide();
            row.txtDate->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PresetEditor::RestorePresets(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    const auto read = [this](const StoreKey& k) { return m_store.ReadSetting(k.section, k.key); };
    if (const QString date = read(presetDate(colour)); !date.isEmpty())
        row.txtDate->setText(date);
    if (const QString hour = read(presetHour(colour)); !hour.isEmpty())
        row.txtHour->setText(hour);
    if (const QString min = read(presetMin(colour)); !min.isEmpty())
        row.txtMin->setText(min);
    if (read(dateSwitch(colour)) == kOn) {
        row.chkDate->setChecked(true);
        m_reminders.arm(row.tmrDate);
    }
    if (read(timeSwitch(colour)) == kOn) {
        row.chkTime->setChecked(true);
        m_reminders.arm(row.tmrTime);
    }
    if (read(startSwitch(colour)) == kOn) {
        row.chkStart->setChecked(true);
        emit shownAtStart(colour);
    }
}

void PresetEditor::writeSetting(const StoreKey& key, const QString& value)
{
    // The control keeps the value whether or not it was saved: the store keeps it for the next
    // save, and a failure is the store's owner's to handle.
    m_store.WriteSetting(key.section, key.key, value);
}

void PresetEditor::txtDate_Click(NoteColour colour) { m_form.showCalendar(colour); }

void PresetEditor::Calendar_DayPicked(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    row.txtDate->setText(DateText::formatDate(row.Calendar->selectedDate()));
    row.Calendar->hide();
}

void PresetEditor::txtDate_Change(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    const QString text = row.txtDate->text();
    if (!text.isEmpty()) {
        row.chkDate->setEnabled(true);
    } else {
        row.tmrDate->stop();
        row.chkDate->setEnabled(false);
        row.chkDate->setChecked(false);
    }
    writeSetting(presetDate(colour), text);
}

void PresetEditor::txtHourMin_Change(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    if (!row.txtHour->text().isEmpty() && !row.txtMin->text().isEmpty())
        row.chkTime->setEnabled(true);
}

void PresetEditor::VScrollHour_Change(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    timeBarChanged(colour, row.VScrollHour, row.txtHour, presetHour(colour));
}

void PresetEditor::VScrollMin_Change(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    timeBarChanged(colour, row.VScrollMin, row.txtMin, presetMin(colour));
}

void PresetEditor::timeBarChanged(
    NoteColour colour, QScrollBar* bar, QLineEdit* field, const StoreKey& key)
{
    // A new time needs the switch set again: the check and the switch go first, then the value.
    const NoteRow row = m_form.row(colour);
    row.tmrTime->stop();
    row.chkTime->setChecked(false);
    field->setText(DateText::formatNumber(bar->value()));
    writeSetting(key, field->text());
}

void PresetEditor::chkDate_Click(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    reminderSwitched(row.chkDate, row.tmrDate, dateSwitch(colour));
}

void PresetEditor::chkTime_Click(NoteColour colour)
{
    const NoteRow row = m_form.row(colour);
    reminderSwitched(row.chkTime, row.tmrTime, timeSwitch(colour));
}

void PresetEditor::reminderSwitched(QCheckBox* box, QTimer* check, const StoreKey& key)
{
    // A cleared switch leaves a waiting check going; the next start reads "OFF" and leaves it
    // disarmed.
    if (box->isChecked())
        m_reminders.arm(check);
    writeSetting(key, box->isChecked() ? kOn : kOff);
}

void PresetEditor::chkStart_Click(NoteColour colour)
{
    const StoreKey key = startSwitch(colour);
    if (m_form.row(colour).chkStart->isChecked())
        writeSetting(key, kOn);
    else
        m_store.RemoveSetting(key.section, key.key);
}
