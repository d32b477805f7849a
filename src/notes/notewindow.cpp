// SPDX-License-Identifier: GPL-3.0-or-later
#include "notewindow.h"

#include "base/settingsstore.h"
#include "base/storekeys.h"
#include "notes/alert.h"
#include "notes/plaintextmirror.h"
#include "platform/portio.h"
#include "platform/windowsystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <utility>

Q_LOGGING_CATEGORY(lcNotes, "tackpad.notes", QtWarningMsg)

namespace {

// Width of the sizing band along the note's edges, in pixels.
constexpr int kBorder = 4;
// Words longer than this make the note wrap anywhere; see adaptWrapping. Changes of the length
// by more than the step (a paste, not a keystroke) look at the wrapping again.
constexpr qsizetype kLongestWord = 2000;
constexpr qsizetype kWrapCheckStep = 256;
// After this long without a key or a click the text cursor stays on instead of blinking, as on
// GNOME: each blink repaints the note and wakes the program twice a second for nobody.
constexpr int kCaretBlinkMs = 10000;

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool topLeftOrBottomRight
            = (edges & Qt::LeftEdge) ? bool(edges & Qt::TopEdge) : bool(edges & Qt::BottomEdge);
        return topLeftOrBottomRight ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::IBeamCursor;
}

} // namespace

NoteWindow::NoteWindow(NoteColour colour, SettingsStore& store, PortIo& ports)
    : QWidget(nullptr)
    , m_colour(colour)
    , m_store(store)
    , m_ports(ports)
{
    m_form.setupUi(this, colour);
    QTextEdit* txt = m_form.txt;
    txt->installEventFilter(this);
    txt->viewport()->installEventFilter(this);
    txt->viewport()->setMouseTracking(true);
    // The right button moves the note like the others; its menu opens on a click without a move.
    txt->setContextMenuPolicy(Qt::NoContextMenu);
    m_plainText = new PlainTextMirror(txt->document());
    connect(txt, &QTextEdit::textChanged, this, &NoteWindow::txt_Change);
    connect(m_form.TimerSound, &QTimer::timeout, this, &NoteWindow::TimerSound_Timer);
    m_caretRest = new QTimer(this);
    m_caretRest->setObjectName(QStringLiteral("caretRest"));
    m_caretRest->setSingleShot(true);
    m_caretRest->setInterval(kCaretBlinkMs);
    connect(m_caretRest, &QTimer::timeout, this, &NoteWindow::stopCaretBlinking);
}

NoteWindow::~NoteWindow() { resumeCaretBlinking(); }

void NoteWindow::Form_Load()
{
    WindowSystem::makeTopmost(this);
    const StoreKey key = noteText(m_colour);
    const QString text = m_store.ReadSetting(key.section, key.key);
    if (!text.isEmpty()) {
        // The restored text is what the store already holds: no need to write it back.
        m_restoring = true;
        adaptWrapping(text);
        m_form.txt->setPlainText(text);
        m_restoring = false;
    }
    PlayAlert();
}

void NoteWindow::setVisible(bool visible)
{
    if (visible && !isVisible())
        WindowSystem::prepareShow(this, m_everShown);
    QWidget::setVisible(visible);
}

void NoteWindow::txt_Change()
{
    if (m_restoring)
        return;
    const QString& text = m_plainText->text();
    // A paste or a restore changes the length by more than typing does: look at the wrapping.
    if (qAbs(text.size() - m_wrapCheckedSize) > kWrapCheckStep)
        adaptWrapping(text);
    const StoreKey key = noteText(m_colour);
    if (m_store.WriteSetting(key.section, key.key, text))
        emit saved();
    else
        emit saveFailed(m_store.errorString());
}

void NoteWindow::adaptWrapping(const QString& text)
{
    // Qt's wrapping at word boundaries searches each line's word to its end, which takes minutes
    // for a word of a megabyte (a pasted blob, say). Such a text wraps anywhere instead.
    qsizetype longest = 0, run = 0;
    for (QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        longest = qMax(longest, run);
    }
    m_form.txt->setWordWrapMode(longest > kLongestWord ? QTextOption::WrapAnywhere
                                                       : QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_wrapCheckedSize = text.size();
}

void NoteWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The text box always covers the whole window.
    m_form.txt->setGeometry(0, 0, width(), height());
}

void NoteWindow::closeEvent(QCloseEvent* event)
{
    // A close request from the window manager hides the note; it is never destroyed.
    event->ignore();
    hide();
}

Qt::Edges NoteWindow::edgesAt(QPoint pos) const
{
    Qt::Edges edges;
    if (pos.x() < kBorder)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kBorder)
        edges |= Qt::RightEdge;
    if (pos.y() < kBorder)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - kBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

void NoteWindow::caretTouched()
{
    resumeCaretBlinking();
    m_caretRest->start();
}

void NoteWindow::stopCaretBlinking()
{
    // Qt has no blink setting per text box, only the application's flash time; but only the text
    // box with the focus blinks, and this one gives the time back when it loses the focus.
    const int flashTime = QApplication::cursorFlashTime();
    if (flashTime <= 0 || !m_form.txt->hasFocus())
        return;
    m_stoppedFlashTime = flashTime;
    QApplication::setCursorFlashTime(0); // the cursor stays on
}

void NoteWindow::resumeCaretBlinking()
{
    if (m_stoppedFlashTime > 0)
        QApplication::setCursorFlashTime(std::exchange(m_stoppedFlashTime, 0));
}

bool NoteWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_form.txt) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::KeyPress:
        case QEvent::InputMethod:
            caretTouched();
            break;
        case QEvent::FocusOut:
            m_caretRest->stop();
            resumeCaretBlinking();
            break;
        default:
            break;
        }
        return false;
    }
    QWidget* viewport = m_form.txt->viewport();
    if (watched != viewport)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        hide();
        m_gesture = Gesture::None;
        return true;
    case QEvent::MouseButtonPress: {
        caretTouched();
        auto* e = static_cast<QMouseEvent*>(event);
        m_button = e->button();
        m_pressGlobal = e->globalPosition().toPoint();
        m_pressWindowPos = pos();
        m_pressGeometry = geometry();
        const QPoint inWindow = viewport->mapTo(this, e->position().toPoint());
        m_pressEdges = edgesAt(inWindow);
        if (mapToGlobal(inWindow) != m_pressGlobal) {
            // Some window managers leave Qt believing a fresh window is still at (0,0); a move
            // started from that belief would throw the note across the screen. The press itself
            // tells where the window really is.
            qCDebug(lcNotes) << "window position" << pos() << "corrected from the press";
            move(m_pressGlobal - inWindow);
            m_pressWindowPos = pos();
        }
        if (m_pressEdges) {
            m_gesture = Gesture::Resizing;
            if (windowHandle() && windowHandle()->startSystemResize(m_pressEdges))
                m_gesture = Gesture::None;
            return true;
        }
        m_gesture = Gesture::Pressed;
        // The left button still places the caret; the others only start a move.
        return e->button() != Qt::LeftButton;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint global = e->globalPosition().toPoint();
        if (m_gesture == Gesture::None) {
            if (e->buttons() == Qt::NoButton)
                viewport->setCursor(
                    cursorFor(edgesAt(viewport->mapTo(this, e->position().toPoint()))));
            return false;
        }
        if (m_gesture == Gesture::Pressed) {
            if ((global - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
                return m_button != Qt::LeftButton;
            m_gesture = Gesture::Moving;
            // The few pixels before the move began are no text selection. (The window manager's
            // move starts from here, so the note trails the pointer by those pixels.)
            QTextCursor caret = m_form.txt->textCursor();
            caret.clearSelection();
            m_form.txt->setTextCursor(caret);
            if (windowHandle() && windowHandle()->startSystemMove()) {
                m_gesture = Gesture::None;
                return true;
            }
            qCDebug(lcNotes) << "window system refused the move; moving by hand from" << pos();
        }
        if (m_gesture == Gesture::Moving) {
            // The window system refused a move of its own: follow the pointer by hand.
            move(m_pressWindowPos + (global - m_pressGlobal));
            return true;
        }
        if (m_gesture == Gesture::Resizing) {
            const QPoint d = global - m_pressGlobal;
            QRect g = m_pressGeometry;
            if (m_pressEdges & Qt::LeftEdge)
                g.setLeft(qMin(g.left() + d.x(), g.right() - 2 * kBorder));
            if (m_pressEdges & Qt::RightEdge)
                g.setRight(qMax(g.right() + d.x(), g.left() + 2 * kBorder));
            if (m_pressEdges & Qt::TopEdge)
                g.setTop(qMin(g.top() + d.y(), g.bottom() - 2 * kBorder));
            if (m_pressEdges & Qt::BottomEdge)
                g.setBottom(qMax(g.bottom() + d.y(), g.top() + 2 * kBorder));
            setGeometry(g);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        const Gesture gesture = m_gesture;
        m_gesture = Gesture::None;
        if (gesture == Gesture::Pressed && e->button() == Qt::RightButton) {
            // A right click that did not move the note opens the usual edit menu.
            QMenu* menu = m_form.txt->createStandardContextMenu(e->position().toPoint());
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(e->globalPosition().toPoint());
            return true;
        }
        return gesture != Gesture::Pressed || e->button() != Qt::LeftButton;
    }
    default:
        return false;
    }
}

void NoteWindow::PlayAlert()
{
    for (int pair = 0; pair < Alert::kPairs; ++pair) {
        PlayTone(Alert::kHighTone, Alert::kToneMilliseconds);
        PlayTone(Alert::kLowTone, Alert::kToneMilliseconds);
    }
}

void NoteWindow::PlayTone(double frequency, int milliseconds)
{
    const std::optional<qint16> divisor = Alert::divisorFor(frequency);
    if (!divisor) {
        qCWarning(lcNotes) << "no tone for" << frequency << "Hz";
        return;
    }
    const qint16 low = qint16(*divisor & 0xFF);
    const qint16 high = qint16(*divisor / 256);
    m_ports.vbOut(Alert::kModePort, Alert::kModeByte);
    m_ports.vbOut(Alert::kCounterPort, low);
    m_ports.vbOut(Alert::kCounterPort, high);
    m_ports.vbOut(
        Alert::kControlPort, qint16(m_ports.vbInp(Alert::kControlPort) | Alert::kSpeakerOn));
    m_ToneFinished = false;
    m_form.TimerSound->setInterval(milliseconds);
    m_form.TimerSound->start();
    // Let the program handle its events while the tone sounds, sleeping while none is pending.
    while (!m_ToneFinished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_ports.vbOut(
        Alert::kControlPort, qint16(m_ports.vbInp(Alert::kControlPort) & Alert::kSpeakerOff));
}

void NoteWindow::TimerSound_Timer()
{
    m_ToneFinished = true;
    m_form.TimerSound->stop();
}
