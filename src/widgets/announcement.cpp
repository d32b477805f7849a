// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcement.h"

#include <QAccessibleWidget>

Announcement::Announcement(const QString& objectName, const QString& name, QWidget* window)
    : QWidget(window)
{
    // A notification is Qt's only role that Orca speaks, unfocused, as it appears; an
    // announcement event would need Qt 6.8. Asked here first, as the most derived class name.
    static const bool readAsNotification = [] {
        QAccessible::installFactory([](const QString& className,
                                        QObject* object) -> QAccessibleInterface* {
            return className == QLatin1String("Announcement")
                ? new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification)
                : nullptr;
        });
        return true;
    }();
    Q_UNUSED(readAsNotification);
    setObjectName(objectName);
    setAccessibleName(name);
    setGeometry(0, 0, 0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Shown only with the window that it speaks for: Qt tells the reader of a child that shows.
    hide();
}

void Announcement::announce(const QString& words)
{
    setAccessibleDescription(words);
    // Shown again only after being hidden: hide() first, so that a second call still speaks.
    hide();
    show();
}

void Announcement::withdraw() { hide(); }
