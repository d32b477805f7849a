// SPDX-License-Identifier: GPL-3.0-or-later
#include "layershell.h"

#ifdef TACKPAD_LAYER_SHELL

#include <LayerShellQt/Window>
#include <wayland-client.h>

#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstring>

namespace {

bool g_enabled = false;

// How compositors treat a layer surface that is willing to take the keyboard on demand. KWin
// focuses it as soon as it becomes willing, so a note becomes willing at the press of a click into
// it. sway focuses such a surface only when it is clicked (or, as focus follows the mouse there,
// pointed at), reading its willingness as the button goes down, before the note sees the press:
// there a note becomes willing once it has been mapped without the keyboard.
bool focusedWhenWilling() { return qEnvironmentVariableIsEmpty("SWAYSOCK"); }
constexpr int kKeyboardAfterMapMs = 500;

using Surface = LayerShellQt::Window;

// A note's layer surface: where it is, and when it may take the keyboard.
class LayerNote final : public QObject {
public:
    LayerNote(QWidget* widget, Surface* surface)
        : QObject(widget->windowHandle())
        , m_widget(widget)
        , m_window(widget->windowHandle())
        , m_surface(surface)
    {
        m_surface->setScope(QStringLiteral("tackpad-note"));
        m_surface->setLayer(Surface::LayerTop);
        m_surface->setExclusiveZone(-1);
        m_surface->setCloseOnDismissed(false);
        m_surface->setKeyboardInteractivity(Surface::KeyboardInteractivityNone);
        // The first show is centred by the compositor, on the output the person works on.
        m_surface->setAnchors(Surface::Anchors(Surface::AnchorNone));
        m_surface->setScreenConfiguration(Surface::ScreenFromCompositor);
        notes().insert(widget, this);
        m_window->installEventFilter(this);
        widget->installEventFilter(this);
        connect(m_window, &QWindow::screenChanged, this, [this](QScreen* screen) {
            if (m_entered && !QGuiApplication::screens().contains(m_screen)) {
                // Its output went away: the compositor has closed the surface.
                QTimer::singleShot(0, this, [this] {
                    if (m_widget->isVisible() && !settled())
                        resettle();
                });
            } else if (!m_anchored && screen && m_mapped) {
                believeCentredOn(screen); // the output the compositor put it on
            }
        });
    }

    ~LayerNote() override { notes().remove(m_widget); }

    static LayerNote* of(const QWidget* widget) { return notes().value(widget); }

    QPoint pos() const { return m_pos; }

    void place(QPoint pos)
    {
        QScreen* screen = m_screen ? m_screen.data() : m_window->screen();
        if (!screen)
            return;
        const QRect room = screen->geometry();
        const QSize size = m_widget->size();
        m_pos = QPoint(
            qBound(room.left(), pos.x(), qMax(room.left(), room.right() + 1 - size.width())),
            qBound(room.top(), pos.y(), qMax(room.top(), room.bottom() + 1 - size.height())));
        m_screen = screen;
        m_anchored = true;
        const QPoint margins = m_pos - room.topLeft();
        m_surface->setAnchors(Surface::Anchors(Surface::AnchorTop | Surface::AnchorLeft));
        m_surface->setMargins(QMargins(margins.x(), margins.y(), 0, 0));
        m_surface->setScreenConfiguration(Surface::ScreenFromQWindow);
        // Qt keeps a Wayland window at its screen's corner; the widget's own position is what
        // other code reads, so it follows the place on the output.
        m_widget->move(m_pos);
        commit();
    }

    // Before a show: the output and place the surface is made with, and whether it may take
    // the keyboard at once.
    void prepare(bool keyboard)
    {
        m_mapped = false;
        m_willingAgain = false;
        setKeyboard(
            keyboard ? Surface::KeyboardInteractivityOnDemand : Surface::KeyboardInteractivityNone);
        if (!m_anchored)
            return;
        if (m_screen && m_screen != m_window->screen())
            m_window->setScreen(m_screen);
        place(m_pos);
    }

    // Whether the note is wholly on the output it was placed on, and that output is still there.
    bool settled() const
    {
        if (!m_screen)
            return !m_entered;
        // A screen on its way out is off the list before it is gone.
        return QGuiApplication::screens().contains(m_screen)
            && m_screen->geometry().contains(QRect(m_pos, m_widget->size()));
    }

    // Brings a note whose output went away, or shrank under it, wholly onto a remaining one. A
    // layer surface cannot change outputs: it is made anew there.
    void resettle()
    {
        QScreen* target = QGuiApplication::screens().contains(m_screen) ? m_screen.data() : nullptr;
        if (!target) {
            target = QGuiApplication::primaryScreen();
            for (QScreen* s : QGuiApplication::screens()) {
                if (s->geometry().intersects(QRect(m_pos, m_widget->size())))
                    target = s;
            }
        }
        if (!target)
            return;
        const bool shown = m_widget->isVisible();
        if (shown)
            m_widget->hide();
        m_screen = target;
        m_window->setScreen(target);
        place(m_pos);
        if (shown) {
            m_resettling = true;
            m_widget->show();
            m_resettling = false;
        }
    }

    bool resettling() const { return m_resettling; }

    // A shown note the person asked for takes the keyboard at once. KWin focuses a note when it
    // becomes willing: one that already is (it was clicked before) stops being willing for one
    // commit. sway focuses a willing surface only from a click, and drops the focus of one that
    // stops asking for the keyboard exclusively, which would hold it from every other window:
    // there the note takes the keyboard from a click.
    void takeKeyboard()
    {
        if (!focusedWhenWilling() || !m_window->isExposed() || m_window->isActive())
            return;
        if (m_surface->keyboardInteractivity() == Surface::KeyboardInteractivityNone) {
            setKeyboard(Surface::KeyboardInteractivityOnDemand);
        } else {
            setKeyboard(Surface::KeyboardInteractivityNone);
            m_willingAgain = true;
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget) {
            if (event->type() == QEvent::UpdateRequest && m_willingAgain) {
                // This update commits the unwilling state; willing again goes with the next one.
                m_willingAgain = false;
                QTimer::singleShot(0, this, [this] {
                    if (m_mapped)
                        setKeyboard(Surface::KeyboardInteractivityOnDemand);
                });
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            setKeyboard(Surface::KeyboardInteractivityOnDemand);
        } else if (event->type() == QEvent::Expose && m_window->isExposed() && !m_mapped) {
            m_mapped = true;
            if (!m_entered && m_window->screen())
                believeCentredOn(m_window->screen());
            if (!focusedWhenWilling()) {
                QTimer::singleShot(kKeyboardAfterMapMs, this, [this] {
                    if (m_mapped)
                        setKeyboard(Surface::KeyboardInteractivityOnDemand);
                });
            }
        }
        return false;
    }

private:
    static QHash<const QWidget*, LayerNote*>& notes()
    {
        static QHash<const QWidget*, LayerNote*> all;
        return all;
    }

    void setKeyboard(Surface::KeyboardInteractivity interactivity)
    {
        if (m_surface->keyboardInteractivity() == interactivity)
            return;
        m_surface->setKeyboardInteractivity(interactivity);
        commit();
    }

    // A surface's new state takes effect with its next commit, which a paint makes: the text box
    // covers the window, so the paint is asked of what lies on top.
    void commit()
    {
        QWidget* top = m_widget->childAt(0, 0);
        (top ? top : m_widget)->update(0, 0, 1, 1);
    }

    void believeCentredOn(QScreen* screen)
    {
        m_screen = screen;
        m_entered = true;
        const QRect room = screen->geometry();
        m_pos = room.topLeft()
            + QPoint(
                (room.width() - m_widget->width()) / 2, (room.height() - m_widget->height()) / 2);
        m_widget->move(m_pos);
    }

    QWidget* m_widget;
    QWindow* m_window;
    Surface* m_surface;
    QPointer<QScreen> m_screen;
    QPoint m_pos; // where the note is, in Qt's global coordinates
    bool m_anchored = false; // placed by its margins, rather than centred by the compositor
    bool m_entered = false; // has been on an output
    bool m_mapped = false; // shown, since the last prepare
    bool m_resettling = false;
    bool m_willingAgain = false; // takes the keyboard with the commit after the next
};

// The two interfaces of the wlr-layer-shell protocol that a probe uses, at version 1, by hand:
// Qt's plugin has its own, and the probe runs before Qt opens anything.
extern const wl_interface kLayerSurfaceInterface;
const wl_interface* kGetLayerSurfaceTypes[]
    = { &kLayerSurfaceInterface, &wl_surface_interface, &wl_output_interface, nullptr, nullptr };
const wl_message kLayerShellRequests[]
    = { { "get_layer_surface", "no?ous", kGetLayerSurfaceTypes } };
const wl_interface kLayerShellInterface
    = { "zwlr_layer_shell_v1", 1, 1, kLayerShellRequests, 0, nullptr };
const wl_interface* kNoTypes[] = { nullptr, nullptr, nullptr, nullptr };
const wl_message kLayerSurfaceRequests[]
    = { { "set_size", "uu", kNoTypes }, { "set_anchor", "u", kNoTypes },
          { "set_exclusive_zone", "i", kNoTypes }, { "set_margin", "iiii", kNoTypes },
          { "set_keyboard_interactivity", "u", kNoTypes }, { "get_popup", "o", kNoTypes },
          { "ack_configure", "u", kNoTypes }, { "destroy", "", kNoTypes } };
const wl_message kLayerSurfaceEvents[]
    = { { "configure", "uuu", kNoTypes }, { "closed", "", kNoTypes } };
const wl_interface kLayerSurfaceInterface
    = { "zwlr_layer_surface_v1", 1, 8, kLayerSurfaceRequests, 2, kLayerSurfaceEvents };
enum : uint32_t { kSetSize = 0, kDestroySurface = 7, kLayerTop = 2 };

struct Registry {
    uint32_t compositor = 0, compositorVersion = 0, layerShell = 0;
};

void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version)
{
    auto* r = static_cast<Registry*>(data);
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0)
        r->layerShell = name;
    else if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        r->compositor = name, r->compositorVersion = version;
}

void onGlobalRemove(void*, wl_registry*, uint32_t) { }

struct Answer {
    bool configured = false, closed = false;
};
void onConfigure(void* data, wl_proxy*, uint32_t, uint32_t, uint32_t)
{
    static_cast<Answer*>(data)->configured = true;
}
void onClosed(void* data, wl_proxy*) { static_cast<Answer*>(data)->closed = true; }

// Asks for a small layer surface, as a note would, and reads the answer: empty when the
// compositor configures it, otherwise what it did.
QString trySurface(wl_display* display, wl_registry* registry, const Registry& found)
{
    auto* compositor = static_cast<wl_compositor*>(wl_registry_bind(
        registry, found.compositor, &wl_compositor_interface, qMin(found.compositorVersion, 4u)));
    auto* shell = static_cast<wl_proxy*>(
        wl_registry_bind(registry, found.layerShell, &kLayerShellInterface, 1));
    wl_surface* surface = wl_compositor_create_surface(compositor);
    wl_proxy* layer = wl_proxy_marshal_flags(shell, 0, &kLayerSurfaceInterface, 1, 0, nullptr,
        surface, nullptr, uint32_t(kLayerTop), "tackpad-note");
    Answer answer;
    static const struct {
        void (*configure)(void*, wl_proxy*, uint32_t, uint32_t, uint32_t);
        void (*closed)(void*, wl_proxy*);
    } listener = { onConfigure, onClosed };
    wl_proxy_add_listener(layer,
        reinterpret_cast<void (**)(void)>(const_cast<void*>(static_cast<const void*>(&listener))),
        &answer);
    wl_proxy_marshal_flags(layer, kSetSize, nullptr, 1, 0, 1u, 1u);
    wl_surface_commit(surface);
    for (int i = 0; i < 2 && !answer.configured && !answer.closed; ++i) {
        if (wl_display_roundtrip(display) < 0)
            break;
    }
    QString refusal;
    const wl_interface* culprit = nullptr;
    if (wl_display_get_error(display)) {
        const uint32_t code = wl_display_get_protocol_error(display, &culprit, nullptr);
        refusal = QStringLiteral("a protocol error, %1 %2")
                      .arg(QLatin1String(culprit ? culprit->name : "?"))
                      .arg(code);
    } else if (answer.closed) {
        refusal = QStringLiteral("closed at once");
    } else if (!answer.configured) {
        refusal = QStringLiteral("no answer");
    }
    // On a connection that an error ended these only free the objects here.
    wl_proxy_marshal_flags(layer, kDestroySurface, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
    wl_surface_destroy(surface);
    wl_proxy_destroy(shell);
    wl_compositor_destroy(compositor);
    if (refusal.isEmpty())
        wl_display_roundtrip(display);
    return refusal;
}

} // namespace

namespace LayerShell {

bool offered(QString* refusal)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return false;
    Registry found;
    static const wl_registry_listener listener { onGlobal, onGlobalRemove };
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &found);
    wl_display_roundtrip(display);
    // Offered is not yet usable: a compositor may refuse a surface (sway does while it has no
    // output), and a note it refused would never be seen.
    QString why;
    if (found.layerShell && found.compositor)
        why = trySurface(display, registry, found);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (refusal)
        *refusal = why;
    return found.layerShell && found.compositor && why.isEmpty();
}

void enable() { g_enabled = true; }

bool enabled() { return g_enabled; }

bool adopt(QWidget* window, bool keyboard)
{
    if (!g_enabled)
        return false;
    LayerNote* note = LayerNote::of(window);
    if (!note) {
        window->winId();
        QWindow* handle = window->windowHandle();
        if (!handle || QGuiApplication::platformName() != QLatin1String("wayland"))
            return false;
        note = new LayerNote(window, Surface::get(handle));
    }
    note->prepare(keyboard && !note->resettling());
    return true;
}

bool isLayer(const QWidget* window) { return LayerNote::of(window) != nullptr; }

void place(QWidget* window, QPoint pos)
{
    if (LayerNote* note = LayerNote::of(window))
        note->place(pos);
}

QPoint position(const QWidget* window)
{
    const LayerNote* note = LayerNote::of(window);
    return note ? note->pos() : window->pos();
}

bool takeKeyboard(QWidget* window)
{
    LayerNote* note = LayerNote::of(window);
    if (!note)
        return false;
    note->takeKeyboard();
    return true;
}

bool keepOnOutput(QWidget* window)
{
    LayerNote* note = LayerNote::of(window);
    if (!note)
        return false;
    if (!note->settled())
        note->resettle();
    return true;
}

// sway keeps reporting a held button's pointer against the surface's place at the press; KWin,
// as the protocol has it, against its place now.
bool dragAgainstPressPlace() { return !qEnvironmentVariableIsEmpty("SWAYSOCK"); }

} // namespace LayerShell

#else // a build without layer-shell-qt: notes stay ordinary windows

namespace LayerShell {

bool offered(QString*) { return false; }
void enable() { }
bool enabled() { return false; }
bool adopt(QWidget*, bool) { return false; }
bool isLayer(const QWidget*) { return false; }
void place(QWidget*, QPoint) { }
QPoint position(const QWidget* window) { return window->pos(); }
bool keepOnOutput(QWidget*) { return false; }
bool takeKeyboard(QWidget*) { return false; }
bool dragAgainstPressPlace() { return false; }

} // namespace LayerShell

#endif
