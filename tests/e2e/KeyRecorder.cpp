// A visible, titled window that records every key event it receives, one
// flushed line each, until it is killed:
//   e2e_recorder TITLE LOGFILE [X Y [no-input]]
// With no-input its WM_HINTS refuse the keyboard, so a window manager never
// gives it the focus.
// Lines: "mapped 0xID", "press NAME KEYCODE TIME", "release NAME KEYCODE TIME",
// "focus-in", "focus-out". NAME is the key's unshifted keysym; TIME is the X
// server's timestamp in milliseconds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "XcbSession.h"

using quindorel::e2e::keysymName;
using quindorel::e2e::XcbPtr;
using quindorel::e2e::XcbSession;

namespace {

xcb_window_t createTitledWindow(XcbSession& x, const std::string& title, int left, int top,
                                bool input) {
    xcb_connection_t* c = x.connection();
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {
        x.screen()->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                     XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                     XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, x.root(), static_cast<std::int16_t>(left),
                      static_cast<std::int16_t>(top), 240, 160, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      x.screen()->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const auto setText = [&](xcb_atom_t property, xcb_atom_t type, const std::string& text) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(text.size()), text.data());
    };
    setText(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    setText(x.atom("_NET_WM_NAME"), x.atom("UTF8_STRING"), title);
    // Class "e2e-recorder" twice, NUL-separated.
    setText(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, std::string("e2e-recorder\0E2e-recorder\0", 26));
    // WM_HINTS with input = True: the window manager may give it the focus.
    const std::uint32_t hints[9] = {1, input ? 1u : 0u, 0, 0, 0, 0, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        9, hints);
    // Placed where asked, also under a window manager.
    std::uint32_t sizeHints[18] = {};
    sizeHints[0] = 1 | 2;  // USPosition, USSize
    sizeHints[1] = static_cast<std::uint32_t>(left);
    sizeHints[2] = static_cast<std::uint32_t>(top);
    sizeHints[3] = 240;
    sizeHints[4] = 160;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);
    xcb_map_window(c, window);
    xcb_flush(c);
    return window;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool input = !(argc == 6 && std::strcmp(argv[5], "no-input") == 0);
    if (argc != 3 && argc != 5 && input) {
        std::fprintf(stderr, "usage: %s TITLE LOGFILE [X Y [no-input]]\n", argv[0]);
        return 2;
    }
    std::FILE* log = std::fopen(argv[2], "a");
    if (log == nullptr) {
        std::perror(argv[2]);
        return 2;
    }
    try {
        XcbSession x;
        const int left = argc >= 5 ? std::atoi(argv[3]) : 40;
        const int top = argc >= 5 ? std::atoi(argv[4]) : 40;
        const xcb_window_t window = createTitledWindow(x, argv[1], left, top, input);
        while (XcbPtr<xcb_generic_event_t> event{xcb_wait_for_event(x.connection())}) {
            const std::uint8_t type = event->response_type & 0x7f;
            if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
                const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event.get());
                std::fprintf(log, "%s %s %u %u\n", type == XCB_KEY_PRESS ? "press" : "release",
                             keysymName(x.keysymOf(key->detail)).c_str(), key->detail, key->time);
            } else if (type == XCB_MAP_NOTIFY) {
                std::fprintf(log, "mapped 0x%x\n", window);
            } else if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
                std::fprintf(log, "%s\n", type == XCB_FOCUS_IN ? "focus-in" : "focus-out");
            } else if (type == XCB_MAPPING_NOTIFY) {
                x.refreshKeymap(event.get());
            }
            std::fflush(log);
        }
        std::fprintf(log, "disconnected\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_recorder: %s\n", error.what());
        return 1;
    }
    std::fclose(log);
    return 0;
}
