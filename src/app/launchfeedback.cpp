// Launch feedback: the startup-notification messages and activation on X11 (over
// Qt's own connection in the running window, over one of the launch's own where it
// has no window), the activation token handed to Qt's Wayland plug-in.
#include "app/launchfeedback.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace launch_feedback {

namespace {

// Startup-notification messages travel in client messages of this many bytes.
constexpr qsizetype kPiece = 20;

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

// The message, NUL-ended, in pieces to the root window, where the desktop listens.
// The sender window tells its pieces from another sender's.
void SendStartupMessage(xcb_connection_t* c, xcb_window_t root, xcb_window_t sender, const QByteArray& message)
{
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = sender;
    event.type = Atom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(c, "_NET_STARTUP_INFO");
    const QByteArray bytes = message + '\0';
    for (qsizetype at = 0; at < bytes.size(); at += kPiece) {
        std::memset(event.data.data8, 0, sizeof event.data.data8);
        std::memcpy(event.data.data8, bytes.constData() + at, size_t(std::min(kPiece, bytes.size() - at)));
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
        event.type = more;
    }
}

bool WindowManagerSupports(xcb_connection_t* c, xcb_window_t root, xcb_atom_t atom)
{
    auto* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, Atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096), nullptr);
    const auto* atoms = r ? static_cast<const xcb_atom_t*>(xcb_get_property_value(r)) : nullptr;
    const int n = r && r->format == 32 ? xcb_get_property_value_length(r) / 4 : 0;
    const bool supported = std::find(atoms, atoms + n, atom) != atoms + n;
    std::free(r);
    return supported;
}

// Asks the window manager to activate the window as of the user's action that
// started the launch: a manager that keeps windows from stealing the focus weighs
// that time, not the last one this process saw. False where no manager takes such
// requests.
bool ActivateAsOf(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, quint32 time)
{
    const xcb_atom_t active = Atom(c, "_NET_ACTIVE_WINDOW");
    if (!WindowManagerSupports(c, root, active))
        return false;
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = active;
    event.data.data32[0] = 1;  // from an application
    event.data.data32[1] = time;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
    return true;
}

} // namespace

handover::Feedback OfThisLaunch()
{
    return {qgetenv("DESKTOP_STARTUP_ID"), qgetenv("XDG_ACTIVATION_TOKEN")};
}

QByteArray RemoveMessage(const QByteArray& startupId)
{
    QByteArray value = startupId;
    if (value.contains(' ') || value.contains('"') || value.contains('\\')) {
        value.replace('\\', "\\\\").replace('"', "\\\"");
        value = '"' + value + '"';
    }
    return "remove: ID=" + value;
}

std::optional<quint32> LaunchTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    const QByteArray digits = at < 0 ? QByteArray() : startupId.mid(at + 5);
    const bool number = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](char d) { return d >= '0' && d <= '9'; });
    bool fits = false;
    const quint32 time = digits.toUInt(&fits);
    // Time 0 stands for "now" in X, which is no time of the user's.
    return number && fits && time != 0 ? std::optional(time) : std::nullopt;
}

void BringToFront(QWidget* window, const handover::Feedback& feedback)
{
    window->raise();
    // Other platforms (the offscreen one among them) may offer the X11 interface
    // without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    QWindow* handle = window->windowHandle();
    if (!c || !handle) {
        // Qt's Wayland plug-in takes the token from the environment when a window
        // asks to be activated.
        const bool token = !feedback.activationToken.isEmpty();
        if (token)
            qputenv("XDG_ACTIVATION_TOKEN", feedback.activationToken);
        window->activateWindow();
        if (token)
            qunsetenv("XDG_ACTIVATION_TOKEN");
        return;
    }
    const auto id = static_cast<xcb_window_t>(handle->winId());
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, id), nullptr);
    const xcb_window_t root = tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(tree);
    const std::optional<quint32> time = LaunchTime(feedback.startupId);
    if (!root || !time || !ActivateAsOf(c, root, id, *time))
        window->activateWindow();
    if (root && !feedback.startupId.isEmpty())
        SendStartupMessage(c, root, id, RemoveMessage(feedback.startupId));
    xcb_flush(c);
}

void EndWithoutWindow(const handover::Feedback& feedback)
{
    if (feedback.startupId.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (!xcb_connection_has_error(c)) {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screen && it.rem > 0; ++i)
            xcb_screen_next(&it);
        // A window of this process's own, never shown, tells its messages apart.
        const xcb_window_t sender = xcb_generate_id(c);
        xcb_create_window(c, 0, sender, it.data->root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        SendStartupMessage(c, it.data->root, sender, RemoveMessage(feedback.startupId));
        xcb_destroy_window(c, sender);
        // A round trip: the server may drop what it has not yet read from a
        // connection that closes.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    xcb_disconnect(c);
}

} // namespace launch_feedback
