// SPDX-License-Identifier: GPL-3.0-or-later
#include "messagebox.h"

#include <QMessageBox>
#include <QPushButton>

void QtMessageBox::showMessage(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
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
