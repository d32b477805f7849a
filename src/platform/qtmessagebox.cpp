// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtmessagebox.h"

#include "platform/windowsystem.h"

#include <QMessageBox>
#include <QPushButton>

void QtMessageBox::showMessage(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    // It comes at start, while the person may already type elsewhere: Enter must not close it
    // unread, nor keys meant for another program go to it.
    WindowSystem::setActivation(&box, WindowSystem::Activation::Leave);
    box.exec();
}

bool QtMessageBox::ask(const QString& caption, const QString& text, const QString& firstAnswer,
    const QString& defaultAnswer)
{
    QMessageBox box(QMessageBox::Warning, caption, text);
    QPushButton* first = box.addButton(firstAnswer, QMessageBox::DestructiveRole);
    QPushButton* second = box.addButton(defaultAnswer, QMessageBox::RejectRole);
    box.setDefaultButton(second);
    box.setEscapeButton(second);
    // Above the notes, which stay on top of everything else.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    return box.clickedButton() == first;
}
