// SPDX-License-Identifier: GPL-3.0-or-later
#include "noteform.h"

#include "text/notetextbox.h"
#include "widgets/twips.h"

#include <QTimer>
#include <QWidget>

void NoteForm::setupUi(QWidget* window, NoteColour colour, NoteTextBox::InsertCheck mayInsert)
{
    const QString word = colourWord(colour);
    window->setObjectName(QStringLiteral("frm") + word);
    window->setAccessibleName(word + QStringLiteral(" note window"));
    window->setWindowTitle(QString());
    window->setWindowRole(window->objectName()); // lets desktop tools tell the notes apart
    // No title bar and no taskbar button; the sizing border is drawn inside the text box.
    window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    window->resize(twipsToPixels(1710), twipsToPixels(1890));
    QPalette wp = window->palette();
    wp.setColor(QPalette::Window, noteWindowColour(colour));
    window->setPalette(wp);
    window->setAutoFillBackground(true);

    txt = new NoteTextBox(window, std::move(mayInsert));
    txt->setAcceptRichText(true); // what comes in is still plain text, see NoteTextBox
    txt->setObjectName(QStringLiteral("txt") + word);
    txt->setAccessibleName(word + QStringLiteral(" note text"));
    txt->setGeometry(twipsRect(0, 0, 1695, 1935));
    txt->setFrameShape(QFrame::NoFrame);
    QFont f(QStringLiteral("Arial Narrow"));
    f.setFamilies({ QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("Nimbus Sans Narrow") });
    f.setPointSizeF(12);
    txt->setFont(f);
    QPalette tp = txt->palette();
    tp.setColor(QPalette::Base, noteTextColour(colour));
    tp.setColor(QPalette::Text, Qt::black);
    txt->setPalette(tp);
    txt->setToolTip(QString::fromLatin1(kNoteToolTip));
    txt->setFocusPolicy(Qt::StrongFocus);

    TimerSound = new QTimer(window);
    TimerSound->setObjectName(QStringLiteral("TimerSound"));
    TimerSound->setInterval(0);
    TimerSound->setTimerType(Qt::PreciseTimer);
}
