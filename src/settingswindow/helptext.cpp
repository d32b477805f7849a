// SPDX-License-Identifier: GPL-3.0-or-later
#include "helptext.h"

#include <QStringList>

QString instructionText()
{
    // Leading blanks, double blanks and the trailing blank of the third item are part of the text.
    const QStringList lines {
        QString(),
        QStringLiteral("      This program was designed to run  each time the computer start to "
                       "function properly."),
        QStringLiteral("      This setting page allow you to set the colour notes to pop up."),
        QString(),
        QStringLiteral("    1. Select the date you want the colour note to pop up."),
        QStringLiteral("        Check the check box under \"Show note at preset date \"."),
        QStringLiteral("        The colour notes will pop up at or after the preset date."),
        QString(),
        QStringLiteral(
            "     2. Select the time (Hour + Minutes) you want the colour note to pop up."),
        QStringLiteral("        Check the check box under \"Show note at preset  time\"."),
        QStringLiteral("        The colour notes will pop up at preset time."),
        QStringLiteral(" "),
        QStringLiteral("     3.  If you want the colour notes to pop up each time you run the "
                       "program, click the check box under "),
        QStringLiteral("          \"Show notes when pc starts\"."),
        QString(),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString creditText() { return QStringLiteral("Tackpad, free sticky notes for your desktop"); }
