// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcement.h"

#include "widgets/accessiblereader.h"

#include <QAccessibleWidget>

namespace {

// A notification is Qt's only role that Orca speaks, unfocused, as it appears; an announcement
// event would need Qt 6.8.
class NotificationReader final : public QAccessibleWidget {
public:
    explicit NotificationReader(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Notification)
    {
    }
};

} // namespace

Announcement::Announcement(const QString& objectName, const QString& name, QWidget* window)
    : QWidget(window)
{
    readThrough<Announcement, NotificationReader>();
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
