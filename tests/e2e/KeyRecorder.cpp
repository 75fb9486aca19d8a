// A visible, titled window that records every key and button event it
// receives, one flushed line each, until it is killed:
//   e2e_recorder TITLE LOGFILE [X Y [no-input]]
// With no-input its WM_HINTS refuse the keyboard, so a window manager never
// gives it the focus.
// Lines: "mapped 0xID", "press NAME KEYCODE TIME", "release NAME KEYCODE TIME",
// "focus-in", "focus-out". NAME is the key's unshifted keysym, or ButtonN for
// mouse button N; TIME is the X server's timestamp in milliseconds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "XcbClient.h"

using quindorel::test::keysymName;
using quindorel::test::XcbClient;
using quindorel::test::XcbPtr;

namespace {

xcb_window_t createTitledWindow(XcbClient& x, const std::string& title, int left, int top,
                                bool input) {
    const xcb_window_t window = x.createWindow(left, top, 240, 160);
    x.setText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    x.setNetWmName(window, title);
    // Class "e2e-recorder" twice, NUL-separated.
    x.setText(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
              std::string("e2e-recorder\0E2e-recorder\0", 26));
    // WM_HINTS with input = True: the window manager may give it the focus.
    const std::uint32_t hints[9] = {1, input ? 1u : 0u, 0, 0, 0, 0, 0, 0, 0};
    xcb_change_property(x.connection(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS, 32, 9, hints);
    xcb_map_window(x.connection(), window);
    xcb_flush(x.connection());
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
        XcbClient x;
        const int left = argc >= 5 ? std::atoi(argv[3]) : 40;
        const int top = argc >= 5 ? std::atoi(argv[4]) : 40;
        const xcb_window_t window = createTitledWindow(x, argv[1], left, top, input);
        while (XcbPtr<xcb_generic_event_t> event{xcb_wait_for_event(x.connection())}) {
            const std::uint8_t type = event->response_type & 0x7f;
            if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
                const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event.get());
                std::fprintf(log, "%s %s %u %u\n", type == XCB_KEY_PRESS ? "press" : "release",
                             keysymName(x.keysymOf(key->detail)).c_str(), key->detail, key->time);
            } else if (type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE) {
                const auto* button = reinterpret_cast<xcb_button_press_event_t*>(event.get());
                std::fprintf(log, "%s Button%u %u %u\n",
                             type == XCB_BUTTON_PRESS ? "press" : "release", button->detail,
                             button->detail, button->time);
            } else if (type == XCB_MAP_NOTIFY) {
                std::fprintf(log, "mapped 0x%x\n", window);
            } else if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
                std::fprintf(log, "%s\n", type == XCB_FOCUS_IN ? "focus-in" : "focus-out");
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
