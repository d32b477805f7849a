// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

/// From the first call on, a screen reader reads every widget of class W (one with Q_OBJECT)
/// through a Reader made from it. Qt asks for an object's own class name first, so its reader of
/// a base class is never made for such a widget.
template <class W, class Reader> void readThrough()
{
    static const bool installed = [] {
        QAccessible::installFactory(
            [](const QString& className, QObject* object) -> QAccessibleInterface* {
                return className == QLatin1String(W::staticMetaObject.className())
                    ? new Reader(static_cast<W*>(object))
                    : nullptr;
            });
        return true;
    }();
    Q_UNUSED(installed);
}
