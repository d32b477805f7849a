// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowsystem.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <unistd.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

constexpr char kHeldAtSize[] = "tackpadHeldAtSize";

// Gives a window back its own size limits once the compositor has mapped it.
class SizeLimitsRestorer final : public QObject {
public:
    SizeLimitsRestorer(QWidget* window, QSize least, QSize most)
        : QObject(window)
        , m_window(window)
        , m_least(least)
        , m_most(most)
    {
        window->setProperty(kHeldAtSize, true);
        window->windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || !static_cast<QWindow*>(watched)->isExposed())
            return false;
        watched->removeEventFilter(this);
        // The first frame goes out while the expose is handled; the limits follow it.
        QTimer::singleShot(0, this, [this] {
            if (m_window) {
                m_window->setProperty(kHeldAtSize, false);
                m_window->setMinimumSize(m_least);
                m_window->setMaximumSize(m_most);
            }
            deleteLater();
        });
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QSize m_least;
    QSize m_most;
};

} // namespace

namespace WindowSystem {

void makeTopmost(QWidget* window)
{
    if (!window->testAttribute(Qt::WA_WState_Created) || !window->isVisible()) {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        return;
    }
    // Changing flags re-creates a visible window; keep it where it is and show it again.
    const QPoint pos = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->move(pos);
    window->show();
}

void keepOffTaskbar(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return; // other window systems honour Qt::Tool
    const auto w = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    // KWin keeps its window switcher (Alt+Tab) apart from the taskbar; other window managers
    // ignore the state they do not know.
    const xcb_atom_t wanted[]
        = { internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER"),
              internAtom(c, "_KDE_NET_WM_STATE_SKIP_SWITCHER") };

    // Qt merges the states it sets at map time with those already on the window.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
    QList<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms = QList<xcb_atom_t>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    for (xcb_atom_t a : wanted) {
        if (a != XCB_ATOM_NONE && !atoms.contains(a))
            atoms.append(a);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32,
        uint32_t(atoms.size()), atoms.constData());

    if (window->isVisible()) {
        // A mapped window changes its state through the window manager, two states a message.
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        for (size_t i = 0; i < std::size(wanted); i += 2) {
            xcb_client_message_event_t ev {};
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = w;
            ev.type = state;
            ev.data.data32[0] = 1; // add
            ev.data.data32[1] = wanted[i];
            ev.data.data32[2]
                = i + 1 < std::size(wanted) ? wanted[i + 1] : xcb_atom_t(XCB_ATOM_NONE);
            ev.data.data32[3] = 1; // from a normal application
            xcb_send_event(c, 0, root,
                XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                reinterpret_cast<const char*>(&ev));
        }
    }
    xcb_flush(c);
}

void prepareShow(QWidget* window, bool& everShown)
{
    if (!everShown) {
        everShown = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window->move(screen->availableGeometry().center() - window->rect().center());
    }
    keepOffTaskbar(window);
    floatWhenMapped(window);
}

void floatWhenMapped(QWidget* window)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || window->isVisible()
        || window->property(kHeldAtSize).toBool())
        return;
    // Tiling compositors (sway) float a window whose size is fixed when it maps, and keep it
    // floating after; a note shown again is mapped anew.
    const QSize least = window->minimumSize();
    const QSize most = window->maximumSize();
    window->setFixedSize(window->size());
    window->winId(); // the native window, to watch for its first expose
    new SizeLimitsRestorer(window, least, most);
}

QString x11Refusal()
{
    // libxcb writes the server's own reason (an authorization it wants, for one) to stderr; it is
    // caught here to become part of the program's one line about it.
    std::FILE* caught = std::tmpfile();
    const int savedErr = caught ? ::dup(STDERR_FILENO) : -1;
    if (savedErr >= 0)
        ::dup2(::fileno(caught), STDERR_FILENO);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const int error = xcb_connection_has_error(c);
    xcb_disconnect(c);
    QString reason;
    if (savedErr >= 0) {
        ::dup2(savedErr, STDERR_FILENO);
        ::close(savedErr);
        char text[512] = {};
        std::rewind(caught);
        const size_t n = std::fread(text, 1, sizeof text - 1, caught);
        reason = QString::fromLocal8Bit(text, qsizetype(n)).simplified();
    }
    if (caught)
        std::fclose(caught);
    if (error == 0)
        return {};
    if (!reason.isEmpty())
        return QStringLiteral("refused: ") + reason;
    switch (error) {
    case XCB_CONN_ERROR:
        return QStringLiteral("no X server answers there");
    case XCB_CONN_CLOSED_PARSE_ERR:
        return QStringLiteral("not a display name");
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return QStringLiteral("no such screen");
    default:
        return QStringLiteral("connection error %1").arg(error);
    }
}

void endProcessNow()
{
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace WindowSystem
