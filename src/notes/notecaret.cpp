// SPDX-License-Identifier: GPL-3.0-or-later
#include "notecaret.h"

#include <QApplication>
#include <QEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <utility>

namespace {

constexpr int kCaretBlinkMs = 10000;
// Each blink measures the caret's paragraph anew, which takes a second for a paragraph of
// megabytes: in a paragraph longer than this the caret stays on at once.
constexpr int kSteadyParagraph = 100'000;

} // namespace

NoteCaret::NoteCaret(QTextEdit* txt)
    : QObject(txt)
    , m_txt(txt)
    , m_rest(new QTimer(this))
{
    m_rest->setObjectName(QStringLiteral("caretRest"));
    m_rest->setSingleShot(true);
    m_rest->setInterval(kCaretBlinkMs);
    connect(m_rest, &QTimer::timeout, this, &NoteCaret::stopBlinking);
    txt->installEventFilter(this);
}

NoteCaret::~NoteCaret() { resumeBlinking(); }

void NoteCaret::touched()
{
    resumeBlinking();
    if (m_txt->textCursor().block().length() > kSteadyParagraph)
        stopBlinking();
    else
        m_rest->start();
}

bool NoteCaret::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_txt)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::KeyPress:
    case QEvent::InputMethod:
        touched();
        break;
    case QEvent::FocusOut:
        m_rest->stop();
        resumeBlinking();
        break;
    default:
        break;
    }
    return false;
}

void NoteCaret::stopBlinking()
{
    // Qt has no blink setting per text box, only the application's flash time; but only the text
    // box with the focus blinks, and this one gives the time back when it loses the focus.
    const int flashTime = QApplication::cursorFlashTime();
    if (flashTime <= 0 || !m_txt->hasFocus())
        return;
    m_stoppedFlashTime = flashTime;
    QApplication::setCursorFlashTime(0); // the cursor stays on
}

void NoteCaret::resumeBlinking()
{
    if (m_stoppedFlashTime > 0)
        QApplication::setCursorFlashTime(std::exchange(m_stoppedFlashTime, 0));
}
