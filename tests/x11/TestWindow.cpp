// An X client for the tests: one top-level window, nothing else, until it is killed.
//
//   gridlume_x11_test_window [--size WxH] [--shadow L,R,T,B]
//
// --shadow draws the window's own decoration the way client-side-decorated toolkits do: the
// window asks for no frame (_MOTIF_WM_HINTS) and declares a shadow border of the given widths
// around its visible part (_GTK_FRAME_EXTENTS).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

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
    unsigned width = 400;
    unsigned height = 300;
    bool hasShadow = false;
    uint32_t shadow[4] = { 0, 0, 0, 0 };
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--size")
            std::sscanf(argv[i + 1], "%ux%u", &width, &height);
        else if (option == "--shadow")
            hasShadow = std::sscanf(argv[i + 1], "%u,%u,%u,%u", &shadow[0], &shadow[1], &shadow[2], &shadow[3]) == 4;
    }

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = { screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY };
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 100, 100, uint16_t(width),
        uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
        values);

    const char wmClass[] = "gridlume-test-window\0GridlumeTestWindow";
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof wmClass, wmClass);
    const char title[] = "Gridlume test window";
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof title - 1, title);
    const uint32_t pid = uint32_t(::getpid());
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, intern(connection, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    if (hasShadow) {
        // flags = MWM_HINTS_DECORATIONS, decorations = 0.
        const uint32_t motif[5] = { 2, 0, 0, 0, 0 };
        const xcb_atom_t motifAtom = intern(connection, "_MOTIF_WM_HINTS");
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, motifAtom, motifAtom, 32, 5, motif);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, intern(connection, "_GTK_FRAME_EXTENTS"),
            XCB_ATOM_CARDINAL, 32, 4, shadow);
    }
    xcb_map_window(connection, window);
    xcb_flush(connection);

    while (xcb_generic_event_t* event = xcb_wait_for_event(connection))
        std::free(event);
    xcb_disconnect(connection);
    return 0;
}
