// SPDX-License-Identifier: GPL-3.0-or-later
#include "notewindow.h"

#include "base/settingsstore.h"
#include "base/storekeys.h"
#include "notes/alert.h"
#include "notes/notecaret.h"
#include "notes/notegestures.h"
#include "notes/notewrapping.h"
#include "text/notetextbox.h"
#include "widgets/announcement.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLoggingCategory>
#include <QToolTip>

Q_LOGGING_CATEGORY(lcNotes, "tackpad.notes", QtWarningMsg)

namespace {

// Changes of the length by more than this (a paste, not a keystroke) choose the wrapping again.
constexpr qsizetype kWrapCheckStep = 256;
// The smallest a note gets, so that it can still be seen and grabbed.
constexpr int kLeastSide = 40;
// About two lines of speech: enough to tell the note by, short enough to be heard out.
constexpr qsizetype kSpokenStart = 120;

QString beginningOf(const QString& text)
{
    QString start = text.left(2 * kSpokenStart).simplified();
    if (start.size() > kSpokenStart) {
        const qsizetype lastSpace = start.lastIndexOf(u' ', kSpokenStart);
        start.truncate(lastSpace > 0 ? lastSpace : kSpokenStart);
    }
    return start;
}

} // namespace

NoteWindow::NoteWindow(NoteColour colour, SettingsStore& store, PortIo& ports)
    : FloatingWindow(Kind::Note)
    , m_colour(colour)
    , m_store(store)
{
    m_form.setupUi(this, colour, [this](const QString& added) { return allowsInsert(added); });
    NoteTextBox* txt = m_form.txt;
    // Two lines of its text, and its sizing band, stay visible at the smallest.
    const int twoLines
        = 2 * QFontMetrics(txt->font()).lineSpacing() + 2 * int(txt->document()->documentMargin());
    setMinimumSize(kLeastSide, qMax(kLeastSide, twoLines));
    m_wrapping = new NoteWrapping(txt);
    m_caret = new NoteCaret(txt);
    m_gestures = new NoteGestures(this, txt);
    m_alert = new SpeakerAlert(ports, m_form.TimerSound, this);
    m_announcement = new Announcement(QStringLiteral("announce") + colourWord(colour),
        colourWord(colour) + QStringLiteral(" note"), this);
    connect(m_gestures, &NoteGestures::pressed, m_caret, &NoteCaret::touched);
    connect(txt, &QTextEdit::textChanged, this, &NoteWindow::txt_Change);
}

void NoteWindow::Form_Load()
{
    makeTopmost();
    const StoreKey key = noteText(m_colour);
    const QString text = m_store.ReadSetting(key.section, key.key);
    if (!text.isEmpty()) {
        // The restored text is what the store already holds: no need to write it back.
        m_restoring = true;
        // Sized and wrapped as it will show before the text comes in: a big text is laid out once.
        m_form.txt->setGeometry(rect());
        m_wrapping->adapt(text);
        if (m_wrapping->canShow()) {
            m_form.txt->setNoteText(text);
        } else {
            // Qt's layout of a text that tall would never end. The stored text stays untouched,
            // and the note says why it is not shown.
            const QString notice = m_wrapping->tooLongToShow();
            qCWarning(lcNotes) << "not shown:" << notice;
            m_form.txt->setReadOnly(true);
            m_wrapping->adapt(notice);
            m_form.txt->setPlainText(notice);
        }
        m_restoring = false;
    }
    m_alert->PlayAlert();
}

void NoteWindow::setVisible(bool visible)
{
    // However small the window system left it, it comes back where it can be grabbed.
    if (visible && !isVisible() && (width() < minimumWidth() || height() < minimumHeight()))
        resize(size().expandedTo(minimumSize()));
    if (!visible)
        m_announcement->withdraw(); // a show someone asks for later is theirs, not announced
    FloatingWindow::setVisible(visible);
}

void NoteWindow::popUp()
{
    // The keyboard stays where it is, so a screen reader would not know the note came: it is
    // told, as of a desktop notification. A note already shown stays as it is, and silent.
    if (!isVisible())
        m_announcement->announce(beginningOf(m_form.txt->noteText()));
    showUnasked();
}

void NoteWindow::txt_Change()
{
    if (m_restoring)
        return;
    const QString& text = m_form.txt->noteText();
    if (qAbs(text.size() - m_wrapping->checkedSize()) > kWrapCheckStep)
        m_wrapping->adapt(text);
    const StoreKey key = noteText(m_colour);
    // A text that failed to save stays on screen; the store's owner tries again.
    m_store.WriteSetting(key.section, key.key, text);
}

bool NoteWindow::allowsInsert(const QString& added)
{
    const QTextCursor cursor = m_form.txt->textCursor();
    if (m_wrapping->fits(m_form.txt->noteText().size(), m_form.txt->document()->blockCount(),
            cursor.selectedText(), added))
        return true;
    qCDebug(lcNotes) << "refused" << added.size() << "characters";
    const QRect caret = m_form.txt->cursorRect();
    QToolTip::showText(m_form.txt->viewport()->mapToGlobal(caret.bottomLeft()),
        m_wrapping->refusal(), m_form.txt, {}, 10000);
    return false;
}

void NoteWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The text box always covers the whole window.
    m_form.txt->setGeometry(0, 0, width(), height());
    m_wrapping->widthChanged();
}

void NoteWindow::closeEvent(QCloseEvent* event)
{
    // A close request from the window manager hides the note; it is never destroyed.
    event->ignore();
    hide();
}
