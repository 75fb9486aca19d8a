// Measuring aids for bench.sh on an X display:
//   bench_x11_probe launch TITLE -- PROGRAM [ARGS...]
//       starts the program, waits until a viewable window named TITLE shows a
//       painted face, ends the program with SIGTERM and prints
//       "<milliseconds to painted> <peak resident KiB>"
//   bench_x11_probe click WINDOW X Y
//       clicks (XTEST) at a point of the window and prints the X server time of
//       the click in milliseconds
//   bench_x11_probe keysyms
//       prints the keysym names of the 104 keyboard keys, one a line
//   bench_x11_probe stamp -- PROGRAM [ARGS...]
//       prints the X server time in milliseconds, then becomes the program
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "keys/KeyTable.h"
#include "platform/x11/VirtualKeyMap.h"
// After the Qt headers: Xlib defines macros that clash with them.
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;

template <class T>
struct Reply {
    T* value;
    explicit Reply(T* reply) : value(reply) {}
    ~Reply() { std::free(value); }
    T* operator->() const { return value; }
    explicit operator bool() const { return value != nullptr; }
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string windowName(xcb_connection_t* c, xcb_window_t window) {
    static const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    for (xcb_atom_t property : {netName, static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME)}) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr));
        if (reply && xcb_get_property_value_length(reply.value) > 0) {
            return std::string(
                static_cast<const char*>(xcb_get_property_value(reply.value)),
                static_cast<std::size_t>(xcb_get_property_value_length(reply.value)));
        }
    }
    return {};
}

bool viewable(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// A viewable window named `title` among the root's children and, under a
// window manager, their children (the frames' clients).
xcb_window_t findWindow(xcb_connection_t* c, xcb_window_t parent, const std::string& title,
                        int depth) {
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr));
    if (!tree) {
        return XCB_WINDOW_NONE;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.value);
    for (int i = 0; i < xcb_query_tree_children_length(tree.value); ++i) {
        if (windowName(c, children[i]) == title && viewable(c, children[i])) {
            return children[i];
        }
        if (depth > 1) {
            if (xcb_window_t found = findWindow(c, children[i], title, depth - 1)) {
                return found;
            }
        }
    }
    return XCB_WINDOW_NONE;
}

// A few rows across the window show more than the one or two colours of an
// empty or unpainted window. Asked every few milliseconds in place of the
// whole image, which for a large window kept the X server busy copying
// pixels while the program it measures was drawing.
bool rowsShowContent(xcb_connection_t* c, xcb_window_t window, const xcb_get_geometry_reply_t& g) {
    constexpr int kRows = 8;
    xcb_get_image_cookie_t cookies[kRows];
    for (int i = 0; i < kRows; ++i) {
        cookies[i] = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                                   static_cast<std::int16_t>(g.height * (2 * i + 1) / (2 * kRows)),
                                   g.width, 1, ~0u);
    }
    std::set<std::uint32_t> colours;
    for (xcb_get_image_cookie_t cookie : cookies) {
        Reply<xcb_get_image_reply_t> row(xcb_get_image_reply(c, cookie, nullptr));
        if (!row) {
            continue;
        }
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(row.value));
        for (int x = 0; x < xcb_get_image_data_length(row.value) / 4; ++x) {
            colours.insert(pixels[x] & 0xFFFFFF);
        }
    }
    return colours.size() >= 3;
}

// Painted: the window shows text and controls, that is many colours, not the
// one or two of an empty or unpainted window.
bool painted(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!geometry || geometry->depth < 24 || !rowsShowContent(c, window, *geometry.value)) {
        return false;
    }
    Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          geometry->width, geometry->height, ~0u),
                            nullptr));
    if (!image || geometry->depth < 24) {
        return false;
    }
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.value));
    const int count = xcb_get_image_data_length(image.value) / 4;
    std::set<std::uint32_t> colours;
    for (int i = 0; i < count && colours.size() < 8; ++i) {
        colours.insert(pixels[i] & 0xFFFFFF);
    }
    return colours.size() >= 8;
}

int launch(const std::string& title, char** command) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        std::perror("execvp");
        _exit(127);
    }
    double milliseconds = -1;
    while (Clock::now() - start < std::chrono::seconds(30)) {
        const xcb_window_t window = findWindow(c, root, title, 2);
        if (window != XCB_WINDOW_NONE && painted(c, window)) {
            milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    xcb_disconnect(c);
    std::printf("%.1f %ld\n", milliseconds, usage.ru_maxrss);
    return milliseconds < 0 ? 1 : 0;
}

int click(xcb_window_t window, int x, int y) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    Reply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
        c,
        xcb_translate_coordinates(c, window, screen->root, static_cast<std::int16_t>(x),
                                  static_cast<std::int16_t>(y)),
        nullptr));
    if (!at) {
        std::fprintf(stderr, "no window 0x%x\n", window);
        return 1;
    }
    // The server time comes from a property change of our own, made right after the click.
    const xcb_window_t clock = xcb_generate_id(c);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, 0, clock, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root, at->dst_x,
                        at->dst_y, 0);
    xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_change_property(c, XCB_PROP_MODE_APPEND, clock, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
            std::printf("%u\n", reinterpret_cast<xcb_property_notify_event_t*>(event)->time);
            std::free(event);
            break;
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}

// The server's time, from a property change of our own.
int stamp(char** program) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t clock = xcb_generate_id(c);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, 0, clock, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_change_property(c, XCB_PROP_MODE_APPEND, clock, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const bool done = (event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY;
        if (done) {
            std::printf("%u\n", reinterpret_cast<xcb_property_notify_event_t*>(event)->time);
        }
        std::free(event);
        if (done) {
            break;
        }
    }
    xcb_disconnect(c);
    std::fflush(stdout);
    execvp(program[0], program);
    std::perror("exec");
    return 1;
}

int keysyms() {
    for (const quindorel::KeyDefinition& key : quindorel::keyboardKeys()) {
        const char* name =
            XKeysymToString(quindorel::keysymForVirtualKey(static_cast<std::uint8_t>(key.code)));
        std::printf("%s\n", name ? name : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "launch" && argc > 4 && std::strcmp(argv[3], "--") == 0) {
        return launch(argv[2], argv + 4);
    }
    if (verb == "click" && argc == 5) {
        return click(static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)),
                     std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (verb == "stamp" && argc > 3 && std::strcmp(argv[2], "--") == 0) {
        return stamp(argv + 3);
    }
    if (verb == "keysyms") {
        return keysyms();
    }
    std::fprintf(stderr, "usage: see the top of x11_probe.cpp\n");
    return 2;
}
