// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktoptrayhost.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
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
// How long after a watcher appears the item is looked for in its list.
constexpr int kRegisterAgainMs = 500;
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
    // it soon after); the X11 selection is looked at every second. On Wayland itself there is no
    // X11 tray to dock in, and nothing to look at: the program sleeps until the bus speaks.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        bus.connect(QString(), kWatcherPath, kWatcher,
            QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(check()));
        auto* service = new QDBusServiceWatcher(
            kWatcher, bus, QDBusServiceWatcher::WatchForRegistration, this);
        connect(service, &QDBusServiceWatcher::serviceRegistered, this, &DesktopTrayHost::check);
    }
    if (!qGuiApp || !qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return;
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
    for (QDBusServiceWatcher* w : findChildren<QDBusServiceWatcher*>()) {
        if (w->objectName() != QLatin1String("watcherRestarts"))
            delete w;
    }
    delete m_poll;
    m_poll = nullptr;
}

void DesktopTrayHost::keepItemRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // Qt registers its item once, under a connection of its own; a new watcher starts with an
    // empty list. So note what the watcher lists of this process, and give a new watcher what
    // it lacks, a moment after it came (hosts register with it first).
    bus.connect(QString(), kWatcherPath, kWatcher, QStringLiteral("StatusNotifierItemRegistered"),
        this, SLOT(noteItem(QString)));
    auto* restarts
        = new QDBusServiceWatcher(kWatcher, bus, QDBusServiceWatcher::WatchForRegistration, this);
    restarts->setObjectName(QStringLiteral("watcherRestarts"));
    connect(restarts, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        QTimer::singleShot(kRegisterAgainMs, this, &DesktopTrayHost::registerItemAgain);
    });
    // The item may be listed already.
    for (const QString& item : registeredItems())
        noteItem(item);
}

QStringList DesktopTrayHost::registeredItems() const
{
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, kWatcherPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("RegisteredStatusNotifierItems");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant().toStringList();
}

void DesktopTrayHost::noteItem(const QString& item)
{
    // "service" or "service/path": this process's own when the service's owner is this process.
    const QString service = item.section(u'/', 0, 0);
    const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(service);
    if (pid.isValid() && pid.value() == uint(QCoreApplication::applicationPid()))
        m_items.insert(item);
}

void DesktopTrayHost::registerItemAgain()
{
    const QStringList listed = registeredItems();
    for (const QString& item : std::as_const(m_items)) {
        if (listed.contains(item))
            continue;
        QDBusMessage add = QDBusMessage::createMethodCall(
            kWatcher, kWatcherPath, kWatcher, QStringLiteral("RegisterStatusNotifierItem"));
        add << item;
        QDBusConnection::sessionBus().asyncCall(add, kBusTimeoutMs);
    }
}

void DesktopTrayHost::check()
{
    if (m_watching && current() != Kind::None)
        emit appeared();
}
