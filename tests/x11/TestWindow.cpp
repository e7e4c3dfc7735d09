// An X client for the tests: an application with one or more top-level windows of 400 × 300 and
// no size hints (a placement puts them exactly on the block), closed one by one like a document
// application's.
//
//   gridlume_x11_test_window [--shadow L,R,T,B] [--windows N] [--stay] [--fixed]
//
// --shadow draws the window's own decoration the way client-side-decorated toolkits do: the
// window asks for no frame (_MOTIF_WM_HINTS) and declares a shadow border of the given widths
// around its visible part (_GTK_FRAME_EXTENTS). Each window takes part in WM_DELETE_WINDOW: asked
// to close, it goes and the program goes on. The program ends with its last window, unless
// --stay keeps it running without any (a tray application, say), and when its connection breaks.
// --fixed gives the windows their size as minimum and maximum: windows that keep their size
// wherever they are put.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include <xcb/xcb.h>

namespace {

xcb_atom_t intern(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

int main(int argc, char** argv)
{
    const unsigned width = 400;
    const unsigned height = 300;
    bool hasShadow = false;
    uint32_t shadow[4] = { 0, 0, 0, 0 };
    int count = 1;
    bool stay = false;
    bool fixed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--shadow")
            i += hasShadow = std::sscanf(value, "%u,%u,%u,%u", &shadow[0], &shadow[1], &shadow[2], &shadow[3]) == 4;
        else if (option == "--windows")
            count = std::max(1, std::atoi(argv[++i]));
        else if (option == "--stay")
            stay = true;
        else if (option == "--fixed")
            fixed = true;
    }

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t protocols = intern(connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = intern(connection, "WM_DELETE_WINDOW");
    const uint32_t pid = uint32_t(::getpid());
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < count; ++i) {
        const xcb_window_t window = xcb_generate_id(connection);
        const uint32_t values[] = { screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY };
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(100 + 60 * i),
            int16_t(100 + 60 * i), uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
            screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        const auto set = [&](xcb_atom_t property, xcb_atom_t type, uint8_t format, uint32_t length, const void* data) {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, format, length, data);
        };
        const char wmClass[] = "gridlume-test-window\0GridlumeTestWindow";
        set(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof wmClass, wmClass);
        const std::string title = i == 0 ? "Gridlume test window" : "Gridlume test window " + std::to_string(i + 1);
        set(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, uint32_t(title.size()), title.data());
        set(intern(connection, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
        set(protocols, XCB_ATOM_ATOM, 32, 1, &deleteWindow);
        if (fixed) {
            // WM_NORMAL_HINTS (ICCCM 4.1.2.3): flags PMinSize | PMaxSize, then min and max sizes.
            uint32_t hints[18] = { (1u << 4) | (1u << 5) };
            hints[5] = hints[7] = width;
            hints[6] = hints[8] = height;
            set(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
        }
        if (hasShadow) {
            // flags = MWM_HINTS_DECORATIONS, decorations = 0.
            const uint32_t motif[5] = { 2, 0, 0, 0, 0 };
            const xcb_atom_t motifAtom = intern(connection, "_MOTIF_WM_HINTS");
            set(motifAtom, motifAtom, 32, 5, motif);
            set(intern(connection, "_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 32, 4, shadow);
        }
        xcb_map_window(connection, window);
        windows.push_back(window);
    }
    xcb_flush(connection);

    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->type == protocols && message->data.data32[0] == deleteWindow) {
                xcb_destroy_window(connection, message->window);
                xcb_flush(connection);
                std::erase(windows, message->window);
            }
        }
        std::free(event);
        if (windows.empty() && !stay)
            break;
    }
    xcb_disconnect(connection);
    return 0;
}
