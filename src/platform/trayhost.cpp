// SPDX-License-Identifier: GPL-3.0-or-later
#include "trayhost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
// A slow or hung bus must not hold up the interface.
constexpr int kBusTimeoutMs = 500;
// How often the X11 selection is looked at while no tray is there: one round trip each time.
constexpr int kPollMs = 1000;

int screenNumber()
{
    // ":0.1" is screen 1; the tray of the screen the program runs on is the one it docks in.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const qsizetype colon = display.lastIndexOf(':');
    return dot > colon ? std::atoi(display.constData() + dot + 1) : 0;
}

} // namespace

DesktopTrayHost::DesktopTrayHost(QObject* parent)
    : TrayHost(parent)
{
}

bool DesktopTrayHost::xembedTray() const
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    free(atom);
    if (selection == XCB_ATOM_NONE)
        return false; // nobody ever asked for the name: no tray
    xcb_get_selection_owner_reply_t* owner
        = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    free(owner);
    return owned;
}

bool DesktopTrayHost::statusNotifierHost() const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcher))
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, kWatcherPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kBusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

TrayHost::Kind DesktopTrayHost::current() const
{
    if (statusNotifierHost())
        return Kind::StatusNotifier;
    return xembedTray() ? Kind::XEmbed : Kind::None;
}

void DesktopTrayHost::watch()
{
    if (m_watching)
        return;
    m_watching = true;
    // The bus tells at once when a host registers, or when a watcher comes (hosts register with
    // it soon after); the X11 selection is looked at every second.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        bus.connect(QString(), kWatcherPath, kWatcher,
            QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(check()));
        auto* service = new QDBusServiceWatcher(
            kWatcher, bus, QDBusServiceWatcher::WatchForRegistration, this);
        connect(service, &QDBusServiceWatcher::serviceRegistered, this, &DesktopTrayHost::check);
    }
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    m_poll->setTimerType(Qt::CoarseTimer);
    connect(m_poll, &QTimer::timeout, this, &DesktopTrayHost::check);
    m_poll->start();
}

void DesktopTrayHost::stopWatching()
{
    if (!m_watching)
        return;
    m_watching = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.disconnect(QString(), kWatcherPath, kWatcher,
            QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(check()));
    qDeleteAll(findChildren<QDBusServiceWatcher*>());
    delete m_poll;
    m_poll = nullptr;
}

void DesktopTrayHost::check()
{
    if (m_watching && current() != Kind::None)
        emit appeared();
}
