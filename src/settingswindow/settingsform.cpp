// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsform.h"

#include "base/intervals.h"
#include "settingswindow/helptext.h"
#include "widgets/commandlabel.h"
#include "widgets/announcement.h"
#include "widgets/calendardays.h"
#include "widgets/decorative.h"
#include "widgets/fieldbar.h"
#include "widgets/focusring.h"
#include "widgets/oval.h"
#include "widgets/programicon.h"
#include "widgets/twips.h"
#include "widgets/unavailable.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleFactory>
#include <QTableView>
#include <QTextCharFormat>
#include <QTimer>

#include <array>
#include <cmath>

namespace {

const QColor kDarkGrey(64, 64, 64);
const QColor kLightGrey(224, 224, 224);
// The calendars' own text colours, each at least 4.5:1 on every row colour (the Red row's pink
// is the darkest of them).
const QColor kCalendarHighlight(0, 90, 160);
const QColor kWeekendDay(110, 0, 0);
const QColor kOtherMonthDay(48, 48, 48);

QFont font(const char* family, qreal points, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    // Where the Windows faces are missing, metric-alike faces keep the texts inside their boxes;
    // fontconfig's own choice is often much wider.
    const QString name = QString::fromLatin1(family);
    if (name == QLatin1String("Mistral"))
        f.setFamilies({ name, QStringLiteral("Z003"), QStringLiteral("URW Chancery L") });
    else
        f.setFamilies({ name, QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
            QStringLiteral("Nimbus Sans"), QStringLiteral("Arimo") });
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont sansSerif8() { return font("MS Sans Serif", 8.25); }
QFont sansSerif10() { return font("MS Sans Serif", 9.75); }

void setColours(QWidget* w, const QColor& foreground, const QColor& background)
{
    QPalette p = w->palette();
    if (foreground.isValid()) {
        p.setColor(QPalette::WindowText, foreground);
        p.setColor(QPalette::Text, foreground);
        p.setColor(QPalette::ButtonText, foreground);
    }
    if (background.isValid()) {
        p.setColor(QPalette::Window, background);
        p.setColor(QPalette::Base, background);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

template <typename W> W* named(W* w, const char* objectName, const QString& accessibleName)
{
    w->setObjectName(QString::fromLatin1(objectName));
    w->setAccessibleName(accessibleName);
    return w;
}

struct LabelDef {
    const char* name;
    QRect rect; // twips
    const char* caption;
    QFont font;
    QColor foreground;
    QColor background;
    Qt::Alignment alignment;
    bool wraps;
    const char* tooltip;
    const char* accessibleName;
};

// Lays a label out as defined: place, font, colours, wrapping and tooltip.
template <typename Label> Label* defined(Label* l, const LabelDef& d)
{
    named(l, d.name, QString::fromUtf8(d.accessibleName));
    l->setGeometry(twipsRect(d.rect.x(), d.rect.y(), d.rect.width(), d.rect.height()));
    l->setFont(d.font);
    l->setAlignment(d.alignment);
    l->setWordWrap(d.wraps);
    l->setTextFormat(Qt::PlainText);
    // A label without colours of its own has the standard button-face look.
    const QPalette standard = QApplication::palette();
    setColours(l, d.foreground.isValid() ? d.foreground : standard.color(QPalette::ButtonText),
        d.background.isValid() ? d.background : standard.color(QPalette::Button));
    if (d.tooltip)
        l->setToolTip(QString::fromUtf8(d.tooltip));
    if (d.wraps) {
        // Wrapping headings keep their width and grow downwards to fit their text.
        l->setFixedHeight(qMax(l->height(), l->heightForWidth(l->width())));
    }
    return l;
}

QLabel* makeLabel(QWidget* parent, const LabelDef& d)
{
    return defined(new QLabel(QString::fromUtf8(d.caption), parent), d);
}

CommandLabel* makeCommand(QWidget* parent, const LabelDef& d, CommandLabel::Kind kind)
{
    return defined(new CommandLabel(kind, QString::fromUtf8(d.caption), parent), d);
}

QFrame* makeLine(QWidget* parent, const char* name, QPoint from, QPoint to)
{
    auto* line = new QFrame(parent);
    markDecorative(line);
    named(line, name, QStringLiteral("Outline"));
    const QPoint a(twipsToPixels(from.x()), twipsToPixels(from.y()));
    const QPoint b(twipsToPixels(to.x()), twipsToPixels(to.y()));
    line->setGeometry(QRect(a, b).normalized());
    setColours(line, {}, kLightGrey);
    return line;
}

// The rows' fields, bars and switches and the clock fields keep a style and palette of their own,
// whatever the desktop sets: some styles draw scroll bars without arrows (or arrows in the
// window's dark grey), pad a field so that a date loses its first letters, or paint a switch's
// box as dark as the window around it.
void fixLook(QWidget* w, QStyle* style)
{
    w->setStyle(style);
    w->setPalette(style->standardPalette());
}

// A field shows all of its text, narrowing its font where a wider face than the design's (DejaVu
// where no Arial-like one is installed) or a longer month name would not fit: a cut field shows
// the end of its text, a date without its month.
void fitText(QLineEdit* e, const QFont& designed)
{
    QStyleOptionFrame frame;
    frame.initFrom(e);
    frame.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, e);
    // QLineEdit keeps 2 pixels each side, and a text fits when one more and the cursor do.
    const int room
        = e->style()->subElementRect(QStyle::SE_LineEditContents, &frame, e).width() - 2 * 2 - 2;
    QFont f = designed;
    for (int stretch = 100; stretch > 50; stretch -= 5) {
        f.setStretch(stretch);
        if (qRound(QFontMetricsF(f).horizontalAdvance(e->text())) <= room)
            break;
    }
    e->setFont(f);
}

// A help box shows its whole text: a scroll bar there could not be reached while the button is
// held. The design's face fits the box's 15 lines at 16 pixels each; the faces that stand in for
// it are taller (Nimbus Sans) or wider (DejaVu, where nothing Arial-like is installed), so the font
// shrinks until every line fits the width unbroken and all of them the height. Qt's inset of 4
// pixels took half a line more; 2 are kept.
void fitWhole(QPlainTextEdit* box, QFont f)
{
    constexpr int kInset = 2;
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->document()->setDocumentMargin(kInset);
    const QStringList lines = box->toPlainText().split(QLatin1Char('\n'));
    const QRect room = box->contentsRect();
    // The editor keeps room for the cursor after a line's end, and a pixel below the last line;
    // its lines are as high as the font, leading left out.
    const qreal width = room.width() - 2 * kInset - box->cursorWidth();
    const qreal height = room.height() - 2 * kInset - 1;
    for (; f.pointSizeF() > 6; f.setPointSizeF(f.pointSizeF() - 0.25)) {
        const QFontMetricsF m(f);
        qreal widest = 0;
        for (const QString& line : lines)
            widest = qMax(widest, m.horizontalAdvance(line));
        if (widest <= width && lines.size() * std::ceil(m.height()) <= height)
            break;
    }
    box->setFont(f);
}

QLineEdit* makeField(QWidget* parent, const char* name, const QString& accessibleName, QRect twips,
    const QColor& background, const QFont& f, QStyle* style)
{
    auto* e = named(new WithFocusRing<QLineEdit>(parent), name, accessibleName);
    e->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    // Only the program writes these fields: read-only, and out of the keyboard's focus chain.
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignCenter);
    e->setFont(f);
    fixLook(e, style);
    setColours(e, Qt::black, background);
    QObject::connect(e, &QLineEdit::textChanged, e, [e, f] { fitText(e, f); });
    return e;
}

QTimer* makeTimer(QObject* parent, const char* name)
{
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    // Nothing depends on a tick arriving exactly on time; coarse timers let the checks share
    // one wake-up.
    t->setTimerType(Qt::CoarseTimer);
    return t;
}

struct RowDef {
    NoteColour colour;
    int top; // twips
};

// Blue at the top, Red at the bottom.
constexpr RowDef kRows[]
    = { { NoteColour::Blue, 2280 }, { NoteColour::Green, 2880 }, { NoteColour::Red, 3480 } };

const Qt::Alignment kCentre = Qt::AlignCenter;
const Qt::Alignment kTopCentre = Qt::AlignHCenter | Qt::AlignTop;
const QColor kNone;

} // namespace

void SettingsForm::setupUi(QWidget* frmMain)
{
    buildFrame(frmMain);
    // What is drawn on the window's surface first, so that it lies beneath every control.
    buildOutline();
    buildTitleStrip();
    buildHeadings();
    buildCreditLine();
    buildNoteNames();
    buildClock();
    buildRows();
    buildTabOrder();
    // Created last so that they cover the rows.
    buildCalendars();
    buildHelpBoxes();
    buildTimers(frmMain);
}

void SettingsForm::buildFrame(QWidget* frmMain)
{
    frmMain->setObjectName(QStringLiteral("frmMain"));
    frmMain->setAccessibleName(QStringLiteral("Tackpad settings"));
    frmMain->setWindowTitle(QString());
    frmMain->setWindowRole(QStringLiteral("frmMain"));
    frmMain->setWindowIcon(programIcon());
    // No title bar, no taskbar button; the window is made topmost by start-up.
    frmMain->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    frmMain->setFont(sansSerif8());
    // A one-pixel fixed border around the client area.
    const QSize clientSize(twipsToPixels(10575), twipsToPixels(4830));
    frmMain->setFixedSize(clientSize + QSize(2, 2));
    setColours(frmMain, {}, Qt::black);

    client = new QWidget(frmMain);
    client->setObjectName(QStringLiteral("frmMainClient"));
    client->setGeometry(QRect(QPoint(1, 1), clientSize));
    setColours(client, kDarkGrey, kDarkGrey);
    // Made after the client, so that the controls that use it are gone before it is.
    m_fixedStyle = QStyleFactory::create(QStringLiteral("Fusion"));
    m_fixedStyle->setParent(frmMain);
}

void SettingsForm::buildOutline()
{
    makeLine(client, "Line1", { 120, 360 }, { 10440, 360 });
    makeLine(client, "Line2", { 120, 4080 }, { 10440, 4080 });
    makeLine(client, "Line3", { 10440, 360 }, { 10440, 4080 });
    makeLine(client, "Line4", { 120, 120 }, { 120, 4080 });

    // Blue, Green, Red from the left, as the rows from the top.
    const int lefts[] = { 5880, 7320, 8760 };
    for (size_t i = 0; i < kBlueGreenRed.size(); ++i) {
        const NoteColour c = kBlueGreenRed[i];
        const NoteIdentity& id = noteIdentity(c);
        auto* oval = new Oval(QColor(id.marker), client);
        markDecorative(oval);
        named(oval, id.markerName, colourWord(c) + QStringLiteral(" column marker"));
        oval->setGeometry(twipsRect(lefts[i], 600, 1335, 435));
        m_rows[size_t(c)].marker = oval;
    }
}

void SettingsForm::buildTitleStrip()
{
    auto* picture = named(new QLabel(client), "Picture1", QStringLiteral("Tackpad icon"));
    picture->setGeometry(twipsRect(0, 0, 495, 495));
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(programIcon().pixmap(32)); // the 32-pixel picture the icon already holds
    setColours(picture, {}, kDarkGrey);

    makeLabel(client,
        { "Label2", { 720, 0, 1455, 375 }, "Tackpad", font("Mistral", 14.25, true),
            QColor(255, 0, 0), kDarkGrey, Qt::AlignLeft | Qt::AlignTop, false, nullptr,
            "Tackpad" });
    using Kind = CommandLabel::Kind;
    lblAd = makeCommand(client,
        { "lblAd", { 6000, 75, 660, 225 }, "Ads", sansSerif8(), kNone, kNone, kCentre, false,
            "Advertisement", "Ads" },
        Kind::Hold);
    Label13 = makeCommand(client,
        { "Label13", { 6840, 75, 1260, 225 }, "Instructions", sansSerif8(), kNone, kNone, kCentre,
            false, "Instruction.", "Instructions" },
        Kind::Hold);
    lblTray = makeCommand(client,
        { "lblTray", { 8280, 73, 855, 225 }, "&Tray  >>", sansSerif8(), kNone, kNone, kCentre,
            false, "Shrink me to system tray", "Hide settings to tray" },
        Kind::Click);
    // The access key of "&Tray  >>" shows underlined only on a label with a buddy.
    lblTray->setBuddy(lblTray);
}

void SettingsForm::buildHeadings()
{
    const LabelDef headings[] = {
        { "Label3", { 480, 1680, 1455, 255 }, "Setting", sansSerif10(), QColor(255, 192, 192),
            Qt::black, kCentre, false, nullptr, "Setting" },
        { "Label5", { 2520, 1680, 1665, 255 }, "Date", sansSerif10(), kNone, kNone, kCentre, false,
            nullptr, "Date" },
        { "Label1", { 4320, 1200, 1110, 960 }, "Show note at / after preset date", sansSerif10(),
            kNone, kNone, kTopCentre, true, "Show note at preset date",
            "Show note at / after preset date" },
        { "Label6", { 5760, 1440, 1815, 255 }, "Time", sansSerif10(), kNone, kNone, kCentre, false,
            nullptr, "Time" },
        { "Label8", { 5760, 1920, 735, 210 }, "Hour", font("Arial Narrow", 8.25), kNone, kNone,
            kCentre, false, nullptr, "Hour" },
        { "Label9", { 6840, 1920, 735, 210 }, "Min", font("Arial Narrow", 8.25), kNone, kNone,
            kCentre, false, nullptr, "Min" },
        { "Label7", { 7785, 1320, 1125, 840 }, "Show note at preset time.", sansSerif10(), kNone,
            kNone, kTopCentre, true, "Show note at preset time.", "Show note at preset time." },
        { "Label10", { 9105, 1320, 1125, 840 }, "Show note when pc starts.", sansSerif10(), kNone,
            kNone, kTopCentre, true, "show note when pc starts.", "Show note when pc starts." },
    };
    for (const LabelDef& heading : headings)
        makeLabel(client, heading);
}

void SettingsForm::buildCreditLine()
{
    lblMe = makeCommand(client,
        { "lblMe", { 2160, 4200, 5895, 255 }, "", font("Arial", 8.25), QColor(192, 255, 192),
            kDarkGrey, kCentre, false, "Check for new free ware / updated photo gallery.",
            "Credits and web page" },
        CommandLabel::Kind::Click);
    lblMe->setText(creditText());
}

void SettingsForm::buildNoteNames()
{
    // Drawn on the window's surface too, beneath the fields.
    for (const RowDef& r : kRows) {
        const QString word = colourWord(r.colour);
        const QByteArray name = ("lbl" + word).toLatin1();
        const QString accessible = word + QStringLiteral(" note");
        auto* lbl = makeCommand(client,
            { name.constData(), { 480, r.top, 1455, 255 }, "", sansSerif10(), Qt::black,
                rowColour(r.colour), kCentre, false, "Click to show note.", "" },
            CommandLabel::Kind::Click);
        lbl->setAccessibleName(accessible);
        lbl->setText(word + QStringLiteral(" Note"));
        m_rows[size_t(r.colour)].lbl = lbl;
    }
}

void SettingsForm::buildClock()
{
    auto* frame = named(new QGroupBox(QStringLiteral("System Date and Time"), client), "Frame1",
        QStringLiteral("System date and time"));
    frame->setGeometry(twipsRect(240, 600, 3735, 735));
    setColours(frame, Qt::white, kDarkGrey);
    txtSysDate = makeField(frame, "txtSysDate", QStringLiteral("Today's date"),
        { 120, 240, 1815, 360 }, kLightGrey, sansSerif10(), m_fixedStyle);
    txtSysTime = makeField(client, "txtSysTime", QStringLiteral("Current time"),
        { 2280, 840, 1455, 360 }, kLightGrey, sansSerif10(), m_fixedStyle);
}

void SettingsForm::buildRows()
{
    for (const RowDef& r : kRows) {
        const QString word = colourWord(r.colour);
        const QColor colour = rowColour(r.colour);
        auto name = [&](const char* prefix, const char* suffix = "") {
            return (QString::fromLatin1(prefix) + word + QString::fromLatin1(suffix)).toLatin1();
        };
        auto human = [&](const char* what) { return word + QStringLiteral(" note ") + what; };
        const int top = r.top;

        auto* date = makeField(client, name("txtDate").constData(), human("date"),
            { 2520, top, 1669, 285 }, colour, sansSerif8(), m_fixedStyle);
        // An empty field is otherwise silent, and nothing on it says how to pick a day.
        auto describeDate = [date] {
            const QString opens
                = QStringLiteral("Enter, Space, Alt+Down or F4 opens its calendar.");
            // The switch after it cannot take the keyboard until then: this is where it is heard
            // of.
            const QString unset = QStringLiteral(
                "Not set. %1 A day picked there makes the date switch after it available.");
            date->setAccessibleDescription(date->text().isEmpty() ? unset.arg(opens) : opens);
        };
        describeDate();
        QObject::connect(date, &QLineEdit::textChanged, date, describeDate);
        auto* hour = makeField(client, name("txtHour").constData(), human("hour"),
            { 5760, top, 615, 285 }, colour, sansSerif8(), m_fixedStyle);
        auto* min = makeField(client, name("txtMin").constData(), human("minute"),
            { 6840, top, 615, 285 }, colour, sansSerif8(), m_fixedStyle);
        // Hour and minute take at most 2 characters from the scroll bars. QLineEdit's own limit
        // is left off: it would also cut a restored text, which must reach the field unchanged.

        auto bar = [&](QLineEdit* field, const QString& acc, int left, int max, int value) {
            const char* prefix = field == hour ? "VScrollHour" : "VScrollMin";
            auto* b = named(new FieldBar(field, client), name(prefix).constData(), acc);
            b->setGeometry(twipsRect(left, top, 255, 375));
            b->setRange(0, max);
            b->setSingleStep(1);
            b->setPageStep(1);
            b->setValue(value);
            // A dragged thumb reports its value once, when it is let go.
            b->setTracking(false);
            // Qt's scroll bars take no focus; these must, so that the arrow and page keys can set
            // a time without a mouse.
            b->setFocusPolicy(Qt::StrongFocus);
            fixLook(b, m_fixedStyle);
            return b;
        };
        auto* hourBar = bar(hour, human("hour setter"), 6360, 23, 1);
        auto* minBar = bar(min, human("minute setter"), 7440, 59, 59);
        // The time switch cannot take the keyboard until both are set: here it is heard of.
        const QString unset
            = QStringLiteral("Not set. The time switch needs an hour and a minute.");
        hourBar->setWhileUnset(unset);
        minBar->setWhileUnset(unset);

        auto check = [&](const char* suffix, const QString& acc, int left, bool enabled) {
            auto* c
                = named(new WithFocusRing<QCheckBox>(client), name("chk", suffix).constData(), acc);
            c->setGeometry(twipsRect(left, top, 255, 255));
            c->setEnabled(enabled);
            // Only the surround takes the window's grey: the box itself stays light, so that its
            // check mark can be seen.
            fixLook(c, m_fixedStyle);
            QPalette p = c->palette();
            p.setColor(QPalette::Window, kDarkGrey);
            p.setColor(QPalette::Base, Qt::white);
            p.setColor(QPalette::Text, Qt::black);
            c->setPalette(p);
            // A button fills its background with the Button colour; the switch's is the window's.
            c->setBackgroundRole(QPalette::Window);
            c->setAutoFillBackground(true);
            return c;
        };
        auto* chkDate = check("", human("date switch"), 4680, false);
        auto* chkTime = check("1", human("time switch"), 8160, false);
        auto* chkStart = check("2", human("show at start switch"), 9480, true);
        // The design's tooltip, "Once click, ", stops mid-sentence; a reader speaks it whole.
        chkStart->setToolTip(
            QStringLiteral("Once clicked, the note is shown every time the program starts."));
        explainWhenUnavailable(chkDate,
            QStringLiteral("Unavailable until a day is picked in the calendar of the date field."));
        explainWhenUnavailable(
            chkTime, QStringLiteral("Unavailable until both the hour and the minute are set."));

        NoteRow& row = m_rows[size_t(r.colour)];
        row.txtDate = date;
        row.txtHour = hour;
        row.txtMin = min;
        row.VScrollHour = hourBar;
        row.VScrollMin = minBar;
        row.chkDate = chkDate;
        row.chkTime = chkTime;
        row.chkStart = chkStart;
    }
    txtSysTime->raise(); // lies over the right part of the clock frame
}

void SettingsForm::buildTabOrder()
{
    // Tab goes through the rows from the top, each from left to right as laid out (the order of
    // creation would put the bars before the date switch), then to the commands of the title
    // strip. Note names, date fields and commands take the keyboard, so that all of the window
    // can be used without a mouse; the date fields stay read-only to typing. A click on a label
    // leaves the keyboard where it is, as on any label.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (const RowDef& r : kRows) {
        const NoteRow n = row(r.colour);
        n.lbl->setFocusPolicy(Qt::TabFocus);
        n.txtDate->setFocusPolicy(Qt::StrongFocus);
        const std::array<QWidget*, 7> leftToRight { n.lbl, n.txtDate, n.chkDate, n.VScrollHour,
            n.VScrollMin, n.chkTime, n.chkStart };
        for (QWidget* w : leftToRight)
            chain(w);
    }
    for (QLabel* command : { lblTray, Label13, lblAd }) {
        command->setFocusPolicy(Qt::TabFocus);
        chain(command);
    }
}

void SettingsForm::buildCalendars()
{
    // Front to back CalendarRed, CalendarBlue, CalendarGreen.
    for (NoteColour c : { NoteColour::Green, NoteColour::Blue, NoteColour::Red }) {
        const QString word = colourWord(c);
        auto* cal = named(new QCalendarWidget(client), ("Calendar" + word).toLatin1().constData(),
            word + QStringLiteral(" note calendar"));
        cal->setGeometry(twipsRect(4200, 1920, 4575, 2175));
        cal->setSelectedDate(QDate(2004, 4, 17));
        cal->setFont(font("Arial", 8.25));
        QTextCharFormat dayNames;
        dayNames.setFont(font("Arial", 8.25));
        cal->setHeaderTextFormat(dayNames);
        cal->setAutoFillBackground(true);
        // On the row colour every text is dark, whatever the desktop's palette; the selected day
        // and the month's bar take a blue dark enough for white text.
        fixLook(cal, m_fixedStyle);
        for (QWidget* part : cal->findChildren<QWidget*>())
            part->setStyle(m_fixedStyle);
        QPalette p = cal->palette();
        for (QPalette::ColorRole role :
            { QPalette::Window, QPalette::Base, QPalette::AlternateBase })
            p.setColor(role, rowColour(c));
        for (QPalette::ColorRole role :
            { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
            p.setColor(role, Qt::black);
        p.setColor(QPalette::Disabled, QPalette::Text, kOtherMonthDay);
        p.setColor(QPalette::Highlight, kCalendarHighlight);
        p.setColor(QPalette::HighlightedText, Qt::white);
        cal->setPalette(p);
        QTextCharFormat weekend;
        weekend.setForeground(kWeekendDay);
        cal->setWeekdayTextFormat(Qt::Saturday, weekend);
        cal->setWeekdayTextFormat(Qt::Sunday, weekend);
        if (auto* nav = cal->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar")))
            nav->setFont(font("Arial", 9.75));
        // The day grid takes the keyboard inside the calendar: a screen reader names it.
        if (auto* days = cal->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview")))
            days->setAccessibleName(word + QStringLiteral(" note calendar days"));
        // The grid shares the box's height out among the day names and six weeks, but the
        // style's smallest row is taller than that share here, which pushed the sixth week out
        // of the box: a row needs no more than its text.
        if (auto* grid = cal->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"))) {
            grid->verticalHeader()->setMinimumSectionSize(QFontMetrics(grid->font()).height());
            grid->horizontalHeader()->setMinimumSectionSize(0);
        }
        readDaysWhole(cal);
        cal->hide();
        m_rows[size_t(c)].Calendar = cal;
    }
}

void SettingsForm::buildHelpBoxes()
{
    // Front to back txtInstruction, txtAd, over the calendars.
    txtAd = named(new QPlainTextEdit(client), "txtAd", QStringLiteral("Advertisement"));
    txtAd->setGeometry(twipsRect(600, 600, 9375, 3255));
    setColours(txtAd, QColor(64, 0, 0), kLightGrey);
    txtAd->setPlainText(QStringLiteral(
        "\r\n   Tackpad keeps three coloured notes on your desktop.\r\n\r\n"
        "   Jot down what you must not forget, and let the notes pop up at a date, at a time,\r\n"
        "   or every time you log on. Free software: share it with your friends.\r\n"));
    fitWhole(txtAd, sansSerif10());
    txtAd->hide();

    txtInstruction
        = named(new QPlainTextEdit(client), "txtInstruction", QStringLiteral("Instructions"));
    txtInstruction->setGeometry(twipsRect(360, 360, 9855, 3735));
    setColours(txtInstruction, Qt::black, kLightGrey);
    txtInstruction->setPlainText(instructionText());
    fitWhole(txtInstruction, sansSerif10());
    txtInstruction->hide();

    // A box shown from the keyboard is read out: it never takes the keyboard, which lets it go.
    helpSpoken = new Announcement(QStringLiteral("helpSpoken"), QStringLiteral("Help"), client);
}

void SettingsForm::buildTimers(QWidget* frmMain)
{
    // The schedule runs the checks and the clock display at intervals of its own.
    for (NoteColour c : kAllNotes)
        m_rows[size_t(c)].tmrDate = makeTimer(frmMain, noteIdentity(c).dateTimer);
    for (NoteColour c : kAllNotes)
        m_rows[size_t(c)].tmrTime = makeTimer(frmMain, noteIdentity(c).timeTimer);
    TmrSys = makeTimer(frmMain, "TmrSys");
    tmrMe = makeTimer(frmMain, "tmrMe");
    tmrMe->setInterval(intervals().creditLineMs);
}

void SettingsForm::showCalendar(NoteColour colour)
{
    row(colour).Calendar->show();
    // Shown calendars and help boxes keep their order, front to back: txtInstruction, txtAd,
    // CalendarRed, CalendarBlue, CalendarGreen.
    QWidget* const frontToBack[] = { txtInstruction, txtAd, row(NoteColour::Red).Calendar,
        row(NoteColour::Blue).Calendar, row(NoteColour::Green).Calendar };
    for (auto it = std::rbegin(frontToBack); it != std::rend(frontToBack); ++it)
        (*it)->raise();
}
