// SPDX-License-Identifier: GPL-3.0-or-later
#include "programicon.h"

#include <QImageReader>

QPixmap programPixmap(int size)
{
    // Read as PNG and nothing else: a reader left to find the format itself first loads every
    // image plugin there is, to ask each one.
    QImageReader reader(QStringLiteral(":/icons/tackpad-%1.png").arg(size), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64 })
        icon.addPixmap(programPixmap(size));
    return icon;
}
