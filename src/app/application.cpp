// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include <QApplication>

int runTackpad(int argc, char** argv)
{
    QApplication app(argc, argv);
    return app.exec();
}
