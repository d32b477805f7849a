// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray.h"

#include "base/notifications.h"
#include "base/settingsstore.h"
#include "widgets/floatingwindow.h"
#include "widgets/programicon.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

Tray::Tray(TrayHost& host, Notifications& notifications, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_notifications(notifications)
{
    // Qt chooses between an XEmbed tray and a StatusNotifierItem host once per process, when the
    // first icon is made: so the icon is made only once a tray is there, and Qt's one choice is
    // the right one.
    makeIcon();
    connect(&m_host, &TrayHost::appeared, this, [this] {
        m_host.stopWatching();
        if (m_standIn)
            m_standIn->stop();
        makeIcon();
        if (m_standingIn && m_window)
            m_window->setVisible(false);
        m_standingIn = false;
    });
}

void Tray::attach(FloatingWindow& window)
{
    m_window = &window;
    m_window->installEventFilter(this);
}

QSystemTrayIcon* Tray::TrayIcon1() const { return m_icon; }

void Tray::makeIcon()
{
    if (m_icon)
        return;
    m_kind = m_host.current();
    if (m_kind == TrayHost::Kind::None)
        return;
    m_icon = new QSystemTrayIcon(programIcon(), this);
    m_icon->setObjectName(QStringLiteral("TrayIcon1"));
    m_icon->setToolTip(QStringLiteral("System Tray Icon v.1.0"));
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            emit settingsRequested();
    });
    m_icon->setContextMenu(m_menu.MnuMenu);
    m_icon->show();
    if (m_kind == TrayHost::Kind::StatusNotifier)
        m_host.keepItemRegistered();
}

void Tray::watch(int standInMs)
{
    if (TrayIcon1())
        return;
    m_host.watch();
    // Panels often start after the programs of the autostart list: give one time to appear.
    m_standIn = new QTimer(this);
    m_standIn->setSingleShot(true);
    connect(m_standIn, &QTimer::timeout, this, [this] {
        if (TrayIcon1() || !m_window || m_window->isVisible())
            return;
        m_standingIn = true;
        m_window->showUnasked();
    });
    m_standIn->start(standInMs);
}

void Tray::settingsAsked() { m_standingIn = false; }

void Tray::hideIcon()
{
    if (QSystemTrayIcon* icon = TrayIcon1())
        icon->hide();
}

void Tray::reportSaveFailure(const QString& reason)
{
    const QString title = QStringLiteral("Tackpad cannot save your notes");
    const QString text = QStringLiteral("%1\nYour text stays on screen and is saved as soon as "
                                        "saving works again.")
                             .arg(saveFailureReason(reason));
    QSystemTrayIcon* icon = TrayIcon1();
    if (icon && m_kind == TrayHost::Kind::XEmbed) {
        icon->showMessage(title, text, QSystemTrayIcon::Warning, 15000);
        return;
    }
    if (icon && m_kind == TrayHost::Kind::StatusNotifier) {
        // Such a tray hands messages to the notification service, and Qt does not say when
        // nobody took one: send it here, and show it ourselves when it went nowhere.
        QPointer<Tray> self(this);
        m_notifications.notify(title, text, [self, title, text](bool delivered) {
            if (self && !delivered)
                self->showOwnMessage(title, text);
        });
        return;
    }
    showOwnMessage(title, text);
}

void Tray::showOwnMessage(const QString& title, const QString& text)
{
    // A box that does not block typing.
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("saveFailureMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    // It comes while the person types: the keys stay where they go.
    showUnasked(box);
}

bool Tray::eventFilter(QObject* watched, QEvent* event)
{
    // The menu belongs to the tray icon; the window carries it only while there is none.
    if (m_window && watched == m_window && event->type() == QEvent::ContextMenu
        && !(TrayIcon1() && TrayIcon1()->isVisible())) {
        m_menu.MnuMenu->popup(QCursor::pos());
        return true;
    }
    return false;
}
