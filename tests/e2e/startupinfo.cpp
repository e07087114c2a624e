// Watches the root window as a desktop that shows launch feedback does: prints
// each startup-notification message it assembles from _NET_STARTUP_INFO_BEGIN and
// _NET_STARTUP_INFO client messages (20 bytes each, kept apart by their window),
// one line each, and each _NET_ACTIVE_WINDOW request as "activate: TIME". Like a
// window manager that honours those requests, it first lists _NET_ACTIVE_WINDOW in
// the root's _NET_SUPPORTED; it prints "ready" once it listens.
//   e2e_startupinfo
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <xcb/xcb.h>

static xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

int main()
{
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const xcb_atom_t begin = Atom(c, "_NET_STARTUP_INFO_BEGIN"), more = Atom(c, "_NET_STARTUP_INFO"),
                     activate = Atom(c, "_NET_ACTIVE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, Atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 1, &activate);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // in place on the server
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::puts("ready");

    std::map<xcb_window_t, std::string> pending;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const auto* m = reinterpret_cast<xcb_client_message_event_t*>(event);
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->type == activate) {
            std::printf("activate: %u\n", m->data.data32[1]);
        } else if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && (m->type == begin || m->type == more)) {
            std::string& text = pending[m->window];
            if (m->type == begin)
                text.clear();
            const char* bytes = reinterpret_cast<const char*>(m->data.data8);
            const void* end = std::memchr(bytes, '\0', 20);
            text.append(bytes, end ? static_cast<const char*>(end) - bytes : 20);
            if (end) {
                std::printf("%s\n", text.c_str());
                pending.erase(m->window);
            }
        }
        std::free(event);
    }
    return 0;
}
