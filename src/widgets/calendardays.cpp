// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendardays.h"

#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>
#include <QTableView>
#include <QTimer>

namespace {

QTableView* dayGrid(QCalendarWidget* calendar)
{
    return calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
}

// Qt's table view numbers its cells for a reader with a header row and column before them;
// its focus events name the current cell by that number, so the grid's children keep it.
int columnsWithHeader(const QTableView* grid) { return grid->model()->columnCount() + 1; }

QModelIndex cellOf(const QTableView* grid, int child)
{
    const int columns = columnsWithHeader(grid);
    return grid->model()->index(child / columns - 1, child % columns - 1);
}

int childOf(const QTableView* grid, const QModelIndex& cell)
{
    return (cell.row() + 1) * columnsWithHeader(grid) + cell.column() + 1;
}

// One cell of the grid: the day the keyboard is on reads as its whole date, the others as they
// are shown.
class AccessibleDay final : public QAccessibleInterface {
public:
    AccessibleDay(QTableView* grid, int child)
        : m_grid(grid)
        , m_child(child)
    {
    }
    bool isValid() const override { return m_grid; }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_grid);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !m_grid)
            return {};
        auto* calendar = qobject_cast<QCalendarWidget*>(m_grid->parentWidget());
        if (isCurrent() && calendar)
            return calendar->locale().toString(calendar->selectedDate(), QLocale::LongFormat);
        return cell().data(Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!m_grid)
            return {};
        const QRect r = m_grid->visualRect(cell());
        return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !m_grid || !m_grid->isVisible();
        s.focusable = s.selectable = true;
        s.selected = isCurrent();
        s.focused = isCurrent() && m_grid->hasFocus();
        return s;
    }

private:
    QModelIndex cell() const { return cellOf(m_grid, m_child); }
    bool isCurrent() const { return m_grid && m_grid->currentIndex() == cell(); }

    QPointer<QTableView> m_grid;
    int m_child;
};

// The grid as a list of its cells, which a reader presents one at a time, not row by row.
class AccessibleDayGrid final : public QAccessibleWidget {
public:
    explicit AccessibleDayGrid(QTableView* grid)
        : QAccessibleWidget(grid, QAccessible::List)
    {
    }
    ~AccessibleDayGrid() override
    {
        for (QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override
    {
        return (grid()->model()->rowCount() + 1) * columnsWithHeader(grid());
    }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const auto found = m_children.constFind(index); found != m_children.cend())
            return QAccessible::accessibleInterface(*found);
        auto* day = new AccessibleDay(grid(), index);
        m_children.insert(index, QAccessible::registerAccessibleInterface(day));
        return day;
    }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        for (auto it = m_children.cbegin(); it != m_children.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == c)
                return it.key();
        }
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return grid()->hasFocus() ? current() : nullptr;
    }
    QAccessibleInterface* current() const { return child(childOf(grid(), grid()->currentIndex())); }

private:
    QTableView* grid() const { return static_cast<QTableView*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_children;
};

class DaysReader final : public QObject {
public:
    explicit DaysReader(QCalendarWidget* calendar)
        : QObject(calendar)
        , m_calendar(calendar)
        , m_grid(dayGrid(calendar))
    {
        m_grid->installEventFilter(this);
        connect(calendar, &QCalendarWidget::selectionChanged, this, &DaysReader::dateMoved);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The grid takes the keyboard already on a day, which Qt tells only when the day moves.
        if (event->type() == QEvent::FocusIn && QAccessible::isActive())
            QTimer::singleShot(0, this, [this] { tell(QAccessible::Focus); });
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool up = key->key() == Qt::Key_PageUp, down = key->key() == Qt::Key_PageDown;
        if (!(up || down) || key->modifiers() != Qt::ControlModifier)
            return false;
        m_calendar->setSelectedDate(m_calendar->selectedDate().addYears(up ? -1 : 1));
        return true;
    }

private:
    // A move that lands on the same cell (a month on, in a month that starts on the same
    // weekday) brings no focus event: the cell's new name is told instead.
    void dateMoved()
    {
        const QModelIndex cell = m_grid->currentIndex();
        if (cell == m_lastCell && QAccessible::isActive())
            tell(QAccessible::NameChanged);
        m_lastCell = cell;
    }

    void tell(QAccessible::Event what) const
    {
        if (!m_grid->hasFocus())
            return;
        auto* grid = static_cast<AccessibleDayGrid*>(QAccessible::queryAccessibleInterface(m_grid));
        if (QAccessibleInterface* day = grid->current()) {
            QAccessibleEvent told(day, what);
            QAccessible::updateAccessibility(&told);
        }
    }

    QCalendarWidget* m_calendar;
    QTableView* m_grid;
    QPersistentModelIndex m_lastCell;
};

} // namespace

void readDaysWhole(QCalendarWidget* calendar)
{
    static const bool installed = [] {
        QAccessible::installFactory(
            [](const QString& className, QObject* object) -> QAccessibleInterface* {
                // The grid's class is QCalendarView, in a namespace of Qt's own since Qt 6.5.
                auto* grid = className.endsWith(QLatin1String("QCalendarView"))
                    ? qobject_cast<QTableView*>(object)
                    : nullptr;
                return grid && qobject_cast<QCalendarWidget*>(grid->parentWidget())
                    ? new AccessibleDayGrid(grid)
                    : nullptr;
            });
        return true;
    }();
    Q_UNUSED(installed);
    if (dayGrid(calendar))
        new DaysReader(calendar);
}
