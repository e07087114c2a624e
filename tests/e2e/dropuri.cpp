// Drops one URL on a top-level X window as a file manager does, through the XDND
// protocol: enter, a position at the window's X Y, and, once the window accepts,
// the drop, with the URL served as text/uri-list from a selection of our
// own. With --data it drops a file's bytes instead, offered under up to three
// types as a program that drags text or a picture offers them. The drag offers a
// copy, or with --offer the actions listed (copy, move, link), the first proposed;
// the actions the window answered in its status and its finish go to stdout. Exit
// status: 0 dropped and finished, 3 the window turned the drop away, 1 no answer
// in time or an X error.
//   e2e_dropuri [--offer ACTION[,ACTION...]] WINDOW-ID X Y URI
//   e2e_dropuri [--offer ACTION[,ACTION...]] WINDOW-ID X Y --data FILE TYPE [TYPE [TYPE]]
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <time.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* c;

xcb_atom_t Atom(const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

void Send(xcb_window_t to, xcb_atom_t type, uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3, uint32_t d4)
{
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = to;
    e.type = type;
    e.data.data32[0] = d0;
    e.data.data32[1] = d1;
    e.data.data32[2] = d2;
    e.data.data32[3] = d3;
    e.data.data32[4] = d4;
    // A round trip: the server has sent the message on before this returns, so a
    // drag that ends here reaches the window before any drag started after it.
    xcb_send_event(c, 0, to, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// The atom's name, "None" for none.
std::string Name(xcb_atom_t atom)
{
    auto* r = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
    const std::string name = r ? std::string(xcb_get_atom_name_name(r), xcb_get_atom_name_name_length(r)) : "None";
    std::free(r);
    return name;
}

}  // namespace

int main(int argc, char** argv)
{
    c = xcb_connect(nullptr, nullptr);
    std::vector<xcb_atom_t> actions;
    if (argc > 2 && std::strcmp(argv[1], "--offer") == 0) {
        // "copy,move" offers XdndActionCopy and XdndActionMove.
        std::string list = std::string(argv[2]) + ",";
        for (size_t start = 0, comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1) {
            std::string name = "XdndAction" + list.substr(start, comma - start);
            name[10] = char(std::toupper(name[10]));
            actions.push_back(Atom(name.c_str()));
        }
        argv[2] = argv[0];
        argv += 2;
        argc -= 2;
    }
    const bool data = argc >= 7 && argc <= 9 && std::strcmp(argv[4], "--data") == 0;
    if ((argc != 5 && !data) || xcb_connection_has_error(c)) {
        std::fprintf(stderr, "usage, with an X display: %s [--offer ACTIONS] WINDOW-ID X Y URI\n"
                             "                          %s [--offer ACTIONS] WINDOW-ID X Y --data FILE TYPE [TYPE [TYPE]]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const auto target = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const auto x = int16_t(std::atoi(argv[2])), y = int16_t(std::atoi(argv[3]));
    // What is offered, and under which types.
    std::string offered = std::string(argv[4]) + "\r\n";
    std::vector<xcb_atom_t> types;
    if (data) {
        std::ifstream file(argv[5], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", argv[5]);
            return 2;
        }
        offered.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        for (int i = 6; i < argc; ++i)
            types.push_back(Atom(argv[i]));
    } else {
        types.push_back(Atom("text/uri-list"));
    }
    types.resize(3, XCB_ATOM_NONE);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_atom_t aware = Atom("XdndAware"), enter = Atom("XdndEnter"), position = Atom("XdndPosition"),
                     status = Atom("XdndStatus"), drop = Atom("XdndDrop"), leave = Atom("XdndLeave"),
                     finished = Atom("XdndFinished"), selection = Atom("XdndSelection"),
                     actionList = Atom("XdndActionList");
    if (actions.empty())
        actions.push_back(Atom("XdndActionCopy"));

    auto* awareReply = xcb_get_property_reply(c, xcb_get_property(c, 0, target, aware, XCB_ATOM_ATOM, 0, 1), nullptr);
    if (!awareReply || xcb_get_property_value_length(awareReply) < 4) {
        std::fprintf(stderr, "the window takes no drops\n");
        return 1;
    }
    const uint32_t version = std::min<uint32_t>(5, *static_cast<uint32_t*>(xcb_get_property_value(awareReply)));
    std::free(awareReply);

    const xcb_window_t source = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, source, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, source, selection, XCB_CURRENT_TIME);
    if (actions.size() > 1)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, source, actionList, XCB_ATOM_ATOM, 32, uint32_t(actions.size()),
                            actions.data());

    auto* where = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, target, screen->root, x, y), nullptr);
    if (!where)
        return 1;
    const uint32_t point = uint32_t(uint16_t(where->dst_x)) << 16 | uint16_t(where->dst_y);
    std::free(where);

    Send(target, enter, source, version << 24, types[0], types[1], types[2]);
    Send(target, position, source, 0, point, XCB_CURRENT_TIME, actions.front());

    // Serves the selection and waits for the answers, within a few seconds.
    bool dropped = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c))
                return 1;
            struct timespec pause{0, 5 * 1000 * 1000};
            nanosleep(&pause, nullptr);
            continue;
        }
        const uint8_t kind = event->response_type & 0x7F;
        if (kind == XCB_SELECTION_REQUEST) {
            auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = XCB_ATOM_NONE;
            if (request->target != XCB_ATOM_NONE && std::count(types.begin(), types.end(), request->target)) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, request->property, request->target,
                                    8, uint32_t(offered.size()), offered.data());
                notify.property = request->property;
            }
            xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
            xcb_flush(c);
        } else if (kind == XCB_CLIENT_MESSAGE) {
            auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == status && !dropped) {
                if (!(message->data.data32[1] & 1)) {
                    Send(target, leave, source, 0, 0, 0, 0);
                    std::free(event);
                    return 3;
                }
                dropped = true;
                std::printf("%s ", Name(message->data.data32[4]).c_str());
                Send(target, drop, source, 0, XCB_CURRENT_TIME, 0, 0);
            } else if (message->type == finished) {
                std::printf("%s\n", Name(message->data.data32[2]).c_str());
                std::free(event);
                return 0;
            }
        }
        std::free(event);
    }
    std::fprintf(stderr, "no answer from the window\n");
    return 1;
}
