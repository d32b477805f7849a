// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowsystem.h"

#include "layershell.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
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

// Lets a window that was shown without the keyboard take it again once it is on screen.
class FocusAfterMap final : public QObject {
public:
    explicit FocusAfterMap(QWindow* window)
        : QObject(window)
        , m_window(window)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
            deleteLater();
        } else if (event->type() == QEvent::Hide) {
            deleteLater(); // hidden before it showed: the next show decides anew
        }
        return false;
    }

private:
    QWindow* m_window;
};

QList<xcb_atom_t> atomList(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_ATOM_ATOM, 0, 1024), nullptr);
    QList<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms = QList<xcb_atom_t>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return atoms;
}

// Offers or withdraws WM_TAKE_FOCUS among the window's protocols.
void offerTakeFocus(QWindow* window, bool offer)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const auto w = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t protocols = internAtom(c, "WM_PROTOCOLS");
    const xcb_atom_t takeFocus = internAtom(c, "WM_TAKE_FOCUS");
    QList<xcb_atom_t> atoms = atomList(c, w, protocols);
    if (atoms.contains(takeFocus) == offer)
        return;
    if (offer)
        atoms.append(takeFocus);
    else
        atoms.removeAll(takeFocus);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, protocols, XCB_ATOM_ATOM, 32,
        uint32_t(atoms.size()), atoms.constData());
    xcb_flush(c);
}

constexpr char kTakeFocusHeld[] = "tackpadTakeFocusHeld";

// The compositor maps an XWayland window a little after X has shown it, and reads then whether
// it takes input.
constexpr int kXWaylandMapMs = 500;

// Lets a window mapped under XWayland without taking input take the keyboard once the
// compositor has surely mapped it, or at once when it is hidden before that.
class InputAfterXWaylandMap final : public QObject {
public:
    explicit InputAfterXWaylandMap(QWindow* window)
        : QObject(window)
        , m_window(window)
    {
        window->setProperty(kTakeFocusHeld, true);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide) {
            giveBack();
        } else if (event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->removeEventFilter(this);
            QTimer::singleShot(kXWaylandMapMs, this, [this] { giveBack(); });
        }
        return false;
    }

private:
    void giveBack()
    {
        m_window->removeEventFilter(this);
        m_window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        offerTakeFocus(m_window, true);
        m_window->setProperty(kTakeFocusHeld, false);
        deleteLater();
    }

    QWindow* m_window;
};

// Asks once more for the keyboard when the window is on screen: a window manager ignores a
// request for a window it does not manage yet.
class ActivateWhenExposed final : public QObject {
public:
    explicit ActivateWhenExposed(QWindow* window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->removeEventFilter(this);
            // After the expose's own handling, which may still hold the keyboard back.
            QTimer::singleShot(0, m_window, [w = m_window] {
                w->setFlag(Qt::WindowDoesNotAcceptFocus, false);
                w->requestActivate();
            });
            deleteLater();
        } else if (event->type() == QEvent::Hide) {
            m_window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWindow* m_window;
};

bool onXWayland()
{
    // Xwayland before 23.1 has no extension of its own to be told by; an X connection in a
    // Wayland session is its.
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

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
    QList<xcb_atom_t> atoms = atomList(c, w, state);
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

void prepareShow(QWidget* window, bool& everShown, Activation activation, Role role)
{
    if (role == Role::Note && LayerShell::adopt(window, activation == Activation::Take)) {
        // The compositor centres it the first time and keeps it above everything, off every
        // task list; it gives the keyboard by what the surface asks for.
        everShown = true;
        window->setAttribute(Qt::WA_ShowWithoutActivating, activation == Activation::Leave);
        return;
    }
    if (!everShown) {
        everShown = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window->move(screen->availableGeometry().center() - window->rect().center());
    }
    keepOnScreen(window);
    keepOffTaskbar(window);
    floatWhenMapped(window);
    setActivation(window, activation);
    if (activation == Activation::Leave)
        leaveFocusOnXWayland(window);
}

void bringForward(QWidget* window)
{
    if (LayerShell::takeKeyboard(window))
        return; // always in front
    window->raise();
    if (QWindow* handle = window->windowHandle()) {
        // Asked for: a note that popped up by itself a moment ago takes the keyboard all the same.
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        if (!handle->isExposed())
            new ActivateWhenExposed(handle);
    }
    window->activateWindow();
}

void leaveFocusOnXWayland(QWidget* window)
{
    if (window->isVisible() || !onXWayland())
        return;
    // wlroots (sway) focuses every X window it maps that takes any input; one that neither takes
    // input (Qt::WindowDoesNotAcceptFocus) nor offers WM_TAKE_FOCUS is mapped without the focus.
    QWindow* handle = window->windowHandle();
    offerTakeFocus(handle, false);
    // Taking input again when X shows it would be too early here. The filter goes at once: shown
    // from a nested event loop (the alert's), a deferred delete would come after the expose.
    for (QObject* child : handle->children()) {
        if (auto* early = dynamic_cast<FocusAfterMap*>(child)) {
            handle->removeEventFilter(early);
            early->deleteLater();
        }
    }
    if (!handle->property(kTakeFocusHeld).toBool())
        new InputAfterXWaylandMap(handle);
}

void setActivation(QWidget* window, Activation activation)
{
    const bool leave = activation == Activation::Leave;
    window->setAttribute(Qt::WA_ShowWithoutActivating, leave);
    window->winId();
    QWindow* handle = window->windowHandle();
    // Qt copies the attribute to the native window only when it is set: cleared here too, a note
    // that once popped up by itself still takes the keyboard when it is asked for.
    handle->setProperty("_q_showWithoutActivating", leave);
    // Some window managers (icewm) focus every window they map, whatever its user time: such a
    // window refuses the keyboard until it is on screen, and takes it from a click after that.
    handle->setFlag(Qt::WindowDoesNotAcceptFocus, leave);
    if (leave)
        handle->installEventFilter(new FocusAfterMap(handle));
}

void keepOnScreen(QWidget* window)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    const QRect frame = window->frameGeometry();
    QRegion desk;
    for (const QScreen* screen : screens)
        desk += screen->geometry();
    if (QRegion(frame).subtracted(desk).isEmpty())
        return; // on the screens, even across two of them: where the person put it
    // The nearest screen: the one it overlaps most, or else the one closest to its centre.
    const QScreen* nearest = nullptr;
    qint64 bestOverlap = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QScreen* screen : screens) {
        const QRect overlap = screen->geometry().intersected(frame);
        const qint64 area = overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
        const QPoint d = screen->geometry().center() - frame.center();
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (area > bestOverlap || (bestOverlap == 0 && area == 0 && distance < bestDistance)) {
            nearest = screen;
            bestOverlap = area;
            bestDistance = distance;
        }
    }
    const QRect room = nearest->availableGeometry();
    // The title strip and the top-left corner matter most where the whole does not fit.
    const int x = qMax(room.left(), qMin(frame.left(), room.right() + 1 - frame.width()));
    const int y = qMax(room.top(), qMin(frame.top(), room.bottom() + 1 - frame.height()));
    window->move(window->pos() + QPoint(x, y) - frame.topLeft());
}

void keepWindowsOnScreen()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        // A window that bypasses the window manager is placed by another program: the tray
        // icon's sits inside the tray, which to Qt looks off the screens.
        if (w->isVisible() && type != Qt::Popup && type != Qt::ToolTip
            && !w->windowFlags().testFlag(Qt::BypassWindowManagerHint)
            && !LayerShell::keepOnOutput(w))
            keepOnScreen(w);
    }
}

void watchScreens()
{
    static QPointer<QTimer> settle;
    if (settle || !qGuiApp)
        return;
    // Screens change in several steps (a monitor goes, then the desk shrinks): look once they
    // have settled, at every visible window of the program.
    QTimer* t = settle = new QTimer(qGuiApp);
    t->setSingleShot(true);
    t->setInterval(0);
    QObject::connect(t, &QTimer::timeout, &keepWindowsOnScreen);
    const auto follow = [t](QScreen* screen) {
        QObject::connect(screen, &QScreen::geometryChanged, t, qOverload<>(&QTimer::start));
        QObject::connect(
            screen, &QScreen::availableGeometryChanged, t, qOverload<>(&QTimer::start));
    };
    for (QScreen* screen : QGuiApplication::screens())
        follow(screen);
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, t, [t, follow](QScreen* screen) {
        follow(screen);
        t->start();
    });
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, t, qOverload<>(&QTimer::start));
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

namespace {

    enum : uint32_t { kMoveResizeMove = 8, kMoveResizeCancel = 11 };

    // Asks the window manager for an interactive move of the window (or to cancel one), as a
    // _NET_WM_MOVERESIZE message: false where it does not offer them.
    bool sendMoveResize(QWindow* handle, QPoint native, uint32_t action, uint32_t button)
    {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 ? x11->connection() : nullptr;
        if (!c)
            return false;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const xcb_atom_t moveResize = internAtom(c, "_NET_WM_MOVERESIZE");
        if (!atomList(c, root, internAtom(c, "_NET_SUPPORTED")).contains(moveResize))
            return false;
        xcb_client_message_event_t ev {};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = static_cast<xcb_window_t>(handle->winId());
        ev.type = moveResize;
        ev.data.data32[0] = uint32_t(native.x());
        ev.data.data32[1] = uint32_t(native.y());
        ev.data.data32[2] = action;
        ev.data.data32[3] = button;
        ev.data.data32[4] = 1; // from a normal application
        // The window manager cannot take the pointer while the press's own grab holds it.
        if (action == kMoveResizeMove)
            xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        xcb_send_event(c, 0, root,
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char*>(&ev));
        xcb_flush(c);
        return true;
    }

} // namespace

bool startMove(QWidget* window, QPoint pressedAt, Qt::MouseButton button)
{
    if (LayerShell::isLayer(window))
        return false; // nothing moves a layer surface but its margins
    QWindow* handle = window->windowHandle();
    if (!handle)
        return false;
    if (!qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return handle->startSystemMove();
    // Qt's own move names the place of the latest pointer event, so a move begun once the
    // pointer has gone some way leaves the window trailing it by that way. The window manager
    // is given the press itself, as the protocol asks. Screens keep their origin in Qt's
    // scaled coordinates.
    const QScreen* screen = handle->screen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    const QPointF native = origin + QPointF(pressedAt - origin) * handle->devicePixelRatio();
    const uint32_t x11Button = button == Qt::RightButton ? 3 : button == Qt::MiddleButton ? 2 : 1;
    return sendMoveResize(handle, native.toPoint(), kMoveResizeMove, x11Button);
}

void cancelMove(QWidget* window)
{
    // The button came up before the window manager took the pointer: unless told, it would take
    // it now and move the window with the pointer until the next click.
    if (QWindow* handle = window->windowHandle())
        sendMoveResize(handle, QPoint(), kMoveResizeCancel, 0);
}

void moveWindow(QWidget* window, QPoint pos)
{
    if (LayerShell::isLayer(window))
        LayerShell::place(window, pos);
    else
        window->move(pos);
}

QPoint windowPosition(const QWidget* window) { return LayerShell::position(window); }

QPoint dragPointer(const QWidget* window, QPoint global, QPoint windowAtPress)
{
    if (!LayerShell::isLayer(window))
        return global;
    // Qt keeps a Wayland window at its screen's corner, so its global position is the one in the
    // surface; the compositor gives that against the surface's place at the press (sway) or now.
    const QScreen* screen = window->screen();
    const QPoint inSurface = global - (screen ? screen->geometry().topLeft() : QPoint());
    return inSurface
        + (LayerShell::dragAgainstPressPlace() ? windowAtPress : LayerShell::position(window));
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
