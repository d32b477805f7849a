// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainform.h"

#include "base/intervals.h"
#include "helptext.h"
#include "programicon.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleFactory>
#include <QTableView>
#include <QTextCharFormat>
#include <QTimer>

#include <array>

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

// A filled oval with a black outline, drawn on the window's surface.
class Oval final : public QWidget {
public:
    Oval(const QColor& fill, QWidget* parent)
        : QWidget(parent)
        , m_fill(fill)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::black);
        p.setBrush(m_fill);
        p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }

private:
    QColor m_fill;
};

// Where the keyboard is must be seen on every control of the window, on its bright row colours
// as on its dark grey: Qt's own focus marks are faint there (a scroll bar, a read-only field or a
// label shows none). A ring of a light and a dark line shows on both.
template <typename Control> class WithFocusRing final : public Control {
public:
    using Control::Control;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Control::paintEvent(event);
        if (!this->hasFocus())
            return;
        QPainter p(this);
        const QRect r = this->rect();
        p.setPen(Qt::white);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
};

struct LabelDef {
    const char* name;
    QRect rect; // twips
    const char* caption;
    QFont font;
    QColor foreground;
    QColor background;
    Qt::Alignment alignment;
    bool wraps;
    bool hand;
    const char* tooltip;
    const char* accessibleName;
};

QLabel* makeLabel(QWidget* parent, const LabelDef& d)
{
    QLabel* const made = d.hand ? new WithFocusRing<QLabel>(QString::fromUtf8(d.caption), parent)
                                : new QLabel(QString::fromUtf8(d.caption), parent);
    auto* l = named(made, d.name, QString::fromUtf8(d.accessibleName));
    l->setGeometry(twipsRect(d.rect.x(), d.rect.y(), d.rect.width(), d.rect.height()));
    l->setFont(d.font);
    l->setAlignment(d.alignment);
    l->setWordWrap(d.wraps);
    l->setTextFormat(Qt::PlainText);
    // A label without colours of its own has the standard button-face look.
    const QPalette standard = QApplication::palette();
    setColours(l, d.foreground.isValid() ? d.foreground : standard.color(QPalette::ButtonText),
        d.background.isValid() ? d.background : standard.color(QPalette::Button));
    if (d.hand)
        l->setCursor(Qt::PointingHandCursor);
    if (d.tooltip)
        l->setToolTip(QString::fromUtf8(d.tooltip));
    if (d.wraps) {
        // Wrapping headings keep their width and grow downwards to fit their text.
        l->setFixedHeight(qMax(l->height(), l->heightForWidth(l->width())));
    }
    return l;
}

QFrame* makeLine(QWidget* parent, const char* name, QPoint from, QPoint to)
{
    auto* line = named(new QFrame(parent), name, QStringLiteral("Outline"));
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

QTimer* makeTimer(QObject* parent, const char* name, int interval)
{
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
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

} // namespace

QString creditText() { return QStringLiteral("Tackpad, free sticky notes for your desktop"); }

QString webAddress() { return QStringLiteral(TACKPAD_WEB_ADDRESS); }

void MainForm::setupUi(QWidget* frmMain)
{
    frmMain->setObjectName(QStringLiteral("frmMain"));
    frmMain->setAccessibleName(QStringLiteral("Tackpad settings"));
    frmMain->setWindowTitle(QString());
    frmMain->setWindowRole(QStringLiteral("frmMain"));
    const QIcon icon = programIcon();
    frmMain->setWindowIcon(icon);
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
    QStyle* const fixedStyle = QStyleFactory::create(QStringLiteral("Fusion"));
    fixedStyle->setParent(frmMain);

    // Outline and ovals first: what is drawn on the window lies beneath every control.
    Line1 = makeLine(client, "Line1", { 120, 360 }, { 10440, 360 });
    Line2 = makeLine(client, "Line2", { 120, 4080 }, { 10440, 4080 });
    Line3 = makeLine(client, "Line3", { 10440, 360 }, { 10440, 4080 });
    Line4 = makeLine(client, "Line4", { 120, 120 }, { 120, 4080 });

    const struct {
        QWidget** member;
        const char* name;
        int left;
        QColor fill;
        const char* accessibleName;
    } ovals[] = {
        { &Shape3, "Shape3", 5880, QColor(128, 255, 255), "Blue column marker" },
        { &Shape2, "Shape2", 7320, QColor(0, 255, 0), "Green column marker" },
        { &Shape1, "Shape1", 8760, QColor(255, 128, 128), "Red column marker" },
    };
    for (const auto& o : ovals) {
        *o.member = named(new Oval(o.fill, client), o.name, QString::fromUtf8(o.accessibleName));
        (*o.member)->setGeometry(twipsRect(o.left, 600, 1335, 435));
    }

    const Qt::Alignment centre = Qt::AlignCenter;
    const Qt::Alignment topCentre = Qt::AlignHCenter | Qt::AlignTop;
    const QColor none;
    const LabelDef labels[] = {
        { "Label2", { 720, 0, 1455, 375 }, "Tackpad", font("Mistral", 14.25, true),
            QColor(255, 0, 0), kDarkGrey, Qt::AlignLeft | Qt::AlignTop, false, false, nullptr,
            "Tackpad" },
        { "lblAd", { 6000, 75, 660, 225 }, "Ads", sansSerif8(), none, none, centre, false, true,
            "Advertisement", "Ads" },
        { "Label13", { 6840, 75, 1260, 225 }, "Instructions", sansSerif8(), none, none, centre,
            false, true, "Instruction.", "Instructions" },
        { "lblTray", { 8280, 73, 855, 225 }, "&Tray  >>", sansSerif8(), none, none, centre, false,
            true, "Shrink me to system tray", "Hide settings to tray" },
        { "Label3", { 480, 1680, 1455, 255 }, "Setting", sansSerif10(), QColor(255, 192, 192),
            Qt::black, centre, false, false, nullptr, "Setting heading" },
        { "Label5", { 2520, 1680, 1665, 255 }, "Date", sansSerif10(), none, none, centre, false,
            false, nullptr, "Date heading" },
        { "Label1", { 4320, 1200, 1110, 960 }, "Show note at / after preset date", sansSerif10(),
            none, none, topCentre, true, false, "Show note at preset date", "Date switch heading" },
        { "Label6", { 5760, 1440, 1815, 255 }, "Time", sansSerif10(), none, none, centre, false,
            false, nullptr, "Time heading" },
        { "Label8", { 5760, 1920, 735, 210 }, "Hour", font("Arial Narrow", 8.25), none, none,
            centre, false, false, nullptr, "Hour heading" },
        { "Label9", { 6840, 1920, 735, 210 }, "Min", font("Arial Narrow", 8.25), none, none, centre,
            false, false, nullptr, "Minute heading" },
        { "Label7", { 7785, 1320, 1125, 840 }, "Show note at preset time.", sansSerif10(), none,
            none, topCentre, true, false, "Show note at preset time.", "Time switch heading" },
        { "Label10", { 9105, 1320, 1125, 840 }, "Show note when pc starts.", sansSerif10(), none,
            none, topCentre, true, false, "show note when pc starts.", "Start switch heading" },
        { "lblMe", { 2160, 4200, 5895, 255 }, "", font("Arial", 8.25), QColor(192, 255, 192),
            kDarkGrey, centre, false, true, "Check for new free ware / updated photo gallery.",
            "Credits and web page" },
    };
    QLabel** labelMembers[] = { &Label2, &lblAd, &Label13, &lblTray, &Label3, &Label5, &Label1,
        &Label6, &Label8, &Label9, &Label7, &Label10, &lblMe };
    for (size_t i = 0; i < std::size(labels); ++i)
        *labelMembers[i] = makeLabel(client, labels[i]);
    lblMe->setText(creditText());
    // The access key of "&Tray  >>" shows underlined only on a label with a buddy.
    lblTray->setBuddy(lblTray);

    // The rows' note labels are drawn on the window's surface too, beneath the fields.
    for (const RowDef& r : kRows) {
        const QString word = colourWord(r.colour);
        auto* lbl = makeLabel(client,
            { "", { 480, r.top, 1455, 255 }, "", sansSerif10(), Qt::black, rowColour(r.colour),
                centre, false, true, "Click to show note.", "" });
        named(lbl, ("lbl" + word).toLatin1().constData(), word + QStringLiteral(" note"));
        lbl->setText(word + QStringLiteral(" Note"));
        (r.colour == NoteColour::Red            ? lblRed
                : r.colour == NoteColour::Green ? lblGreen
                                                : lblBlue)
            = lbl;
    }

    Picture1 = named(new QLabel(client), "Picture1", QStringLiteral("Tackpad icon"));
    Picture1->setGeometry(twipsRect(0, 0, 495, 495));
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(icon.pixmap(32)); // the 32-pixel picture the icon already holds
    setColours(Picture1, {}, kDarkGrey);

    // Clock
    Frame1 = named(new QGroupBox(QStringLiteral("System Date and Time"), client), "Frame1",
        QStringLiteral("System date and time"));
    Frame1->setGeometry(twipsRect(240, 600, 3735, 735));
    setColours(Frame1, Qt::white, kDarkGrey);
    txtSysDate = makeField(Frame1, "txtSysDate", QStringLiteral("Today's date"),
        { 120, 240, 1815, 360 }, kLightGrey, sansSerif10(), fixedStyle);
    txtSysTime = makeField(client, "txtSysTime", QStringLiteral("Current time"),
        { 2280, 840, 1455, 360 }, kLightGrey, sansSerif10(), fixedStyle);

    // Note rows, Blue at the top.
    const RowDef rows[]
        = { { NoteColour::Blue, 2280 }, { NoteColour::Green, 2880 }, { NoteColour::Red, 3480 } };
    for (const RowDef& r : rows) {
        const QString word = colourWord(r.colour);
        const QColor colour = rowColour(r.colour);
        auto name = [&](const char* prefix, const char* suffix = "") {
            return (QString::fromLatin1(prefix) + word + QString::fromLatin1(suffix)).toLatin1();
        };
        auto human = [&](const char* what) { return word + QStringLiteral(" note ") + what; };
        const int top = r.top;

        auto* date = makeField(client, name("txtDate").constData(), human("date"),
            { 2520, top, 1669, 285 }, colour, sansSerif8(), fixedStyle);
        auto* hour = makeField(client, name("txtHour").constData(), human("hour"),
            { 5760, top, 615, 285 }, colour, sansSerif8(), fixedStyle);
        auto* min = makeField(client, name("txtMin").constData(), human("minute"),
            { 6840, top, 615, 285 }, colour, sansSerif8(), fixedStyle);
        // Hour and minute take at most 2 characters from the scroll bars. QLineEdit's own limit
        // is left off: it would also cut a restored text, which must reach the field unchanged.

        auto bar = [&](const char* prefix, const QString& acc, int left, int max, int value) {
            auto* b = named(
                new WithFocusRing<QScrollBar>(Qt::Vertical, client), name(prefix).constData(), acc);
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
            fixLook(b, fixedStyle);
            return b;
        };
        auto* hourBar = bar("VScrollHour", human("hour setter"), 6360, 23, 1);
        auto* minBar = bar("VScrollMin", human("minute setter"), 7440, 59, 59);

        auto check = [&](const char* suffix, const QString& acc, int left, bool enabled) {
            auto* c
                = named(new WithFocusRing<QCheckBox>(client), name("chk", suffix).constData(), acc);
            c->setGeometry(twipsRect(left, top, 255, 255));
            c->setEnabled(enabled);
            // Only the surround takes the window's grey: the box itself stays light, so that its
            // check mark can be seen.
            fixLook(c, fixedStyle);
            QPalette p = c->palette();
            p.setColor(QPalette::Window, kDarkGrey);
            p.setColor(QPalette::Base, Qt::white);
            p.setColor(QPalette::Text, Qt::black);
            c->setPalette(p);
            c->setAutoFillBackground(true);
            return c;
        };
        auto* chkDate = check("", human("date switch"), 4680, false);
        auto* chkTime = check("1", human("time switch"), 8160, false);
        auto* chkStart = check("2", human("show at start switch"), 9480, true);
        chkStart->setToolTip(QStringLiteral("Once click, "));

        const bool red = r.colour == NoteColour::Red, green = r.colour == NoteColour::Green;
        (red ? txtDateRed : green ? txtDateGreen : txtDateBlue) = date;
        (red ? txtHourRed : green ? txtHourGreen : txtHourBlue) = hour;
        (red ? txtMinRed : green ? txtMinGreen : txtMinBlue) = min;
        (red ? VScrollHourRed : green ? VScrollHourGreen : VScrollHourBlue) = hourBar;
        (red ? VScrollMinRed : green ? VScrollMinGreen : VScrollMinBlue) = minBar;
        (red ? chkRed : green ? chkGreen : chkBlue) = chkDate;
        (red ? chkRed1 : green ? chkGreen1 : chkBlue1) = chkTime;
        (red ? chkRed2 : green ? chkGreen2 : chkBlue2) = chkStart;
    }
    txtSysTime->raise(); // lies over the right part of the clock frame

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
    for (const RowDef& r : rows) {
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

    // Calendars, then the help boxes: created last so that they cover the rows, front to back
    // txtInstruction, txtAd, CalendarRed, CalendarBlue, CalendarGreen.
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
        fixLook(cal, fixedStyle);
        for (QWidget* part : cal->findChildren<QWidget*>())
            part->setStyle(fixedStyle);
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
        cal->hide();
        (c == NoteColour::Red            ? CalendarRed
                : c == NoteColour::Green ? CalendarGreen
                                         : CalendarBlue)
            = cal;
    }

    txtAd = named(new QPlainTextEdit(client), "txtAd", QStringLiteral("Advertisement"));
    txtAd->setGeometry(twipsRect(600, 600, 9375, 3255));
    txtAd->setFont(sansSerif10());
    setColours(txtAd, QColor(64, 0, 0), kLightGrey);
    txtAd->setPlainText(QStringLiteral(
        "\r\n   Tackpad keeps three coloured notes on your desktop.\r\n\r\n"
        "   Jot down what you must not forget, and let the notes pop up at a date, at a time,\r\n"
        "   or every time you log on. Free software: share it with your friends.\r\n"));
    txtAd->hide();

    txtInstruction
        = named(new QPlainTextEdit(client), "txtInstruction", QStringLiteral("Instructions"));
    txtInstruction->setGeometry(twipsRect(360, 360, 9855, 3735));
    txtInstruction->setFont(sansSerif10());
    setColours(txtInstruction, Qt::black, kLightGrey);
    txtInstruction->setPlainText(instructionText());
    txtInstruction->hide();

    // Timers
    tmrRed = makeTimer(frmMain, "tmrRed", 100);
    tmrGreen = makeTimer(frmMain, "tmrGreen", 100);
    TmrBlue = makeTimer(frmMain, "TmrBlue", 100);
    TmrRed1 = makeTimer(frmMain, "TmrRed1", 100);
    TmrGreen1 = makeTimer(frmMain, "TmrGreen1", 100);
    TmrBlue1 = makeTimer(frmMain, "TmrBlue1", 100);
    TmrSys = makeTimer(frmMain, "TmrSys", 300);
    tmrMe = makeTimer(frmMain, "tmrMe", intervals().creditLineMs);

    // Popup menu tree; its top item is never shown as a menu bar.
    MnuMenu = named(
        new QMenu(QStringLiteral("Menu"), frmMain), "MnuMenu", QStringLiteral("Tackpad menu"));
    MnuMenu->menuAction()->setVisible(false);
    MnuMenu->setWindowRole(QStringLiteral("MnuMenu"));
    auto submenu = [&](const char* name, const char* caption, const char* show, const char* hide,
                       QAction*& showAction, QAction*& hideAction, const QString& acc) {
        auto* m = named(new QMenu(QString::fromLatin1(caption), MnuMenu), name, acc);
        MnuMenu->addMenu(m);
        showAction = m->addAction(QStringLiteral("Show"));
        showAction->setObjectName(QString::fromLatin1(show));
        hideAction = m->addAction(QStringLiteral("Hide"));
        hideAction->setObjectName(QString::fromLatin1(hide));
        return m;
    };
    MnuBlue = submenu("MnuBlue", "&Blue Note", "MnuShowBlue", "MnuHideBlue", MnuShowBlue,
        MnuHideBlue, QStringLiteral("Blue note"));
    MnuGreen = submenu("MnuGreen", "&Green Note", "MnuShowGreen", "MnuHideGreen", MnuShowGreen,
        MnuHideGreen, QStringLiteral("Green note"));
    MnuRed = submenu("MnuRed", "&Red Note", "MnuShowRed", "MnuHideRed", MnuShowRed, MnuHideRed,
        QStringLiteral("Red note"));
    MnuSetting = MnuMenu->addAction(QStringLiteral("&Setting"));
    MnuSetting->setObjectName(QStringLiteral("MnuSetting"));
    MnuEnd = MnuMenu->addAction(QStringLiteral("&Close"));
    MnuEnd->setObjectName(QStringLiteral("MnuEnd"));
    Mnuzovo = MnuMenu->addAction(QStringLiteral("ZOVO"));
    Mnuzovo->setObjectName(QStringLiteral("Mnuzovo"));
}

NoteRow MainForm::row(NoteColour colour) const
{
    const NoteRow rows[] = {
        { lblRed, txtDateRed, txtHourRed, txtMinRed, VScrollHourRed, VScrollMinRed, chkRed, chkRed1,
            chkRed2, CalendarRed, tmrRed, TmrRed1 },
        { lblGreen, txtDateGreen, txtHourGreen, txtMinGreen, VScrollHourGreen, VScrollMinGreen,
            chkGreen, chkGreen1, chkGreen2, CalendarGreen, tmrGreen, TmrGreen1 },
        { lblBlue, txtDateBlue, txtHourBlue, txtMinBlue, VScrollHourBlue, VScrollMinBlue, chkBlue,
            chkBlue1, chkBlue2, CalendarBlue, TmrBlue, TmrBlue1 },
    };
    return rows[size_t(colour)];
}
