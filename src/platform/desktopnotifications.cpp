// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopnotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>
#include <QVariantMap>

namespace {
// Starting a service on demand can take a moment; a hung one must not keep the message back.
constexpr int kCallTimeoutMs = 5000;
constexpr int kShownMs = 15000;
} // namespace

void DesktopNotifications::notify(
    const QString& title, const QString& text, std::function<void(bool)> done)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QTimer::singleShot(0, [done] { done(false); });
        return;
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.tackpad.Tackpad"));
    call << QStringLiteral("Tackpad") << uint(0) << QStringLiteral("org.tackpad.Tackpad") << title
         << text << QStringList() << hints << int(kShownMs);
    // The bus answers ServiceUnknown at once when nothing owns the name and nothing can start.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMs));
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, watcher, [done](QDBusPendingCallWatcher* w) {
            done(!w->isError());
            w->deleteLater();
        });
}
