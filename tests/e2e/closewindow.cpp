// Asks a top-level X window to close the way a window manager's close button
// does: a WM_DELETE_WINDOW client message. Under Xvfb there is no window manager
// to send it, and destroying the window outright is not what a user does.
//   e2e_closewindow WINDOW-ID
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

static xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

int main(int argc, char** argv)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (argc != 2 || xcb_connection_has_error(c)) {
        std::fprintf(stderr, "usage, with an X display: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    xcb_client_message_event_t event{.response_type = XCB_CLIENT_MESSAGE, .format = 32, .sequence = 0,
                                     .window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0)),
                                     .type = Atom(c, "WM_PROTOCOLS"),
                                     .data = {.data32 = {Atom(c, "WM_DELETE_WINDOW"), XCB_CURRENT_TIME}}};
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_send_event_checked(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event)));
    const int status = error ? 1 : 0;
    std::free(error);
    xcb_disconnect(c);
    return status;
}
