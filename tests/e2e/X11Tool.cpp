// Small probes and actions the end-to-end scripts need and the standard X
// tools lack:
//   e2e_x11tool pixel WINDOW X Y [X Y ...]   colour of window pixels, RRGGBB a line
//   e2e_x11tool close WINDOW                 ask the window to close (WM_DELETE_WINDOW)
//   e2e_x11tool keys-down                    keys and buttons (Button1 to Button5) the server
//                                            holds down now, by name
//   e2e_x11tool autorepeat on|off            the server's key autorepeat
//   e2e_x11tool repeating-keys               the keys whose own autorepeat is on, as hex bits
//   e2e_x11tool grab-stop-key                hold the Ctrl+Shift+S grab on the root until killed
//   e2e_x11tool grab-key F9                  the same for F9
//   e2e_x11tool check-keyset FILE            whether FILE is one whole key-set line
//   e2e_x11tool watch-keyset FILE            read FILE over and over until SIGTERM; fails if
//                                            any read saw anything but one whole line
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "XcbClient.h"

using quindorel::test::keysymName;
using quindorel::test::XcbClient;
using quindorel::test::XcbPtr;

namespace {

xcb_window_t windowArgument(const char* text) {
    return static_cast<xcb_window_t>(std::strtoul(text, nullptr, 0));
}

int pixel(int argc, char* argv[]) {
    XcbClient x;
    const xcb_window_t window = windowArgument(argv[2]);
    for (int i = 3; i + 1 < argc; i += 2) {
        const auto cookie =
            xcb_get_image(x.connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                          static_cast<std::int16_t>(std::atoi(argv[i])),
                          static_cast<std::int16_t>(std::atoi(argv[i + 1])), 1, 1, ~0u);
        xcb_generic_error_t* error = nullptr;
        XcbPtr<xcb_get_image_reply_t> reply(xcb_get_image_reply(x.connection(), cookie, &error));
        std::free(error);
        if (!reply || xcb_get_image_data_length(reply.get()) < 3) {
            std::fprintf(stderr, "e2e_x11tool: no image at %s,%s\n", argv[i], argv[i + 1]);
            return 1;
        }
        // 24-bit visuals keep pixels as 32-bit B, G, R, unused on Xvfb.
        const std::uint8_t* data = xcb_get_image_data(reply.get());
        std::printf("%02x%02x%02x\n", data[2], data[1], data[0]);
    }
    return 0;
}

int close(const char* windowText) {
    XcbClient x;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = windowArgument(windowText);
    message.type = x.atom("WM_PROTOCOLS");
    message.data.data32[0] = x.atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    const auto cookie =
        xcb_send_event_checked(x.connection(), 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&message));
    if (XcbPtr<xcb_generic_error_t> error{xcb_request_check(x.connection(), cookie)}) {
        std::fprintf(stderr, "e2e_x11tool: cannot send to window %s (error %u)\n", windowText,
                     error->error_code);
        return 1;
    }
    return 0;
}

int keysDown() {
    XcbClient x;
    XcbPtr<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(x.connection(), xcb_query_keymap(x.connection()), nullptr));
    if (!keymap) {
        return 1;
    }
    std::string names;
    for (int code = 8; code < 256; ++code) {
        if (keymap->keys[code / 8] & (1u << (code % 8))) {
            if (!names.empty()) {
                names += ' ';
            }
            names += keysymName(x.keysymOf(static_cast<xcb_keycode_t>(code)));
        }
    }
    XcbPtr<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
        x.connection(), xcb_query_pointer(x.connection(), x.root()), nullptr));
    for (int button = 1; button <= 5 && pointer; ++button) {
        if (pointer->mask & (XCB_BUTTON_MASK_1 << (button - 1))) {
            names += (names.empty() ? "Button" : " Button") + std::to_string(button);
        }
    }
    std::printf("%s\n", names.c_str());
    return 0;
}

int autorepeat(const std::string& mode) {
    XcbClient x;
    const std::uint32_t value = mode == "on" ? XCB_AUTO_REPEAT_MODE_ON : XCB_AUTO_REPEAT_MODE_OFF;
    const auto cookie =
        xcb_change_keyboard_control_checked(x.connection(), XCB_KB_AUTO_REPEAT_MODE, &value);
    XcbPtr<xcb_generic_error_t> error{xcb_request_check(x.connection(), cookie)};
    return error ? 1 : 0;
}

int repeatingKeys() {
    XcbClient x;
    XcbPtr<xcb_get_keyboard_control_reply_t> reply{xcb_get_keyboard_control_reply(
        x.connection(), xcb_get_keyboard_control(x.connection()), nullptr)};
    if (!reply) {
        return 1;
    }
    for (const std::uint8_t bits : reply->auto_repeats) {
        std::printf("%02x", bits);
    }
    std::printf("\n");
    return 0;
}

// Ctrl+Shift+S, or F9 alone.
int grabKey(bool stopKey) {
    XcbClient x;
    const xcb_keycode_t key = x.keycodeOf(stopKey ? 's' : 0xffc6);  // XK_F9
    const std::uint16_t modifiers = stopKey ? XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT : 0;
    const auto cookie = xcb_grab_key_checked(x.connection(), 1, x.root(), modifiers, key,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (XcbPtr<xcb_generic_error_t> error{xcb_request_check(x.connection(), cookie)}) {
        std::fprintf(stderr, "e2e_x11tool: cannot grab the key (error %u)\n", error->error_code);
        return 1;
    }
    std::printf("grabbed\n");
    std::fflush(stdout);
    while (XcbPtr<xcb_generic_event_t> event{xcb_wait_for_event(x.connection())}) {
    }
    return 0;
}

bool isWholeKeySet(const std::string& content) {
    // Digits and commas, every run of digits closed by a comma, then CR LF.
    if (content.size() < 2 || content.compare(content.size() - 2, 2, "\r\n") != 0) {
        return false;
    }
    bool inNumber = false;
    for (std::size_t i = 0; i + 2 < content.size(); ++i) {
        const char c = content[i];
        if (c >= '0' && c <= '9') {
            inNumber = true;
        } else if (c == ',' && inNumber) {
            inNumber = false;
        } else {
            return false;
        }
    }
    return !inNumber;
}

bool readFile(const char* path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

std::string printable(const std::string& content) {
    std::string text;
    for (const char c : content.substr(0, 80)) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c >= 32 && c < 127) {
            text += c;
        } else {
            text += '?';
        }
    }
    return content.size() > 80 ? text + "..." : text;
}

int checkKeySet(const char* path) {
    std::string content;
    if (!readFile(path, content)) {
        std::printf("missing\n");
        return 1;
    }
    std::printf("%s\n", printable(content).c_str());
    return isWholeKeySet(content) ? 0 : 1;
}

std::atomic<bool> stopWatching{false};

int watchKeySet(const char* path) {
    std::signal(SIGTERM, [](int) { stopWatching = true; });
    std::signal(SIGINT, [](int) { stopWatching = true; });
    long reads = 0;
    long bad = 0;
    std::set<std::string> versions;
    std::string content;
    while (!stopWatching) {
        const bool found = readFile(path, content);
        ++reads;
        if (!found || !isWholeKeySet(content)) {
            if (bad++ == 0) {
                std::printf("broken key set seen: %s\n",
                            found ? printable(content).c_str() : "(file missing)");
            }
        } else {
            versions.insert(content);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::printf("reads %ld, whole versions %zu, broken %ld\n", reads, versions.size(), bad);
    return bad == 0 ? 0 : 1;
}

}  // namespace

// A local client that misbehaves on the command channel at PATH: it sends
// garbage, sends too much, says nothing, or leaves half-way. Exits 0 when
// the other end dropped it.
int misbehave(const char* path, const std::string& how) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("e2e_x11tool: connect");
        return 1;
    }
    ::signal(SIGPIPE, SIG_IGN);
    if (how == "garbage") {
        ::write(fd, "\x01\xffpress all keys\n", 17);
    } else if (how == "too-much") {
        const std::string flood(1 << 20, 's');
        ::write(fd, flood.data(), flood.size());
    } else if (how == "half") {
        ::write(fd, "sta", 3);
        ::close(fd);
        return 0;
    }  // "silent": nothing
    char buffer[64];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);  // the end, or an answer
    ::close(fd);
    return got <= 0 ? 0 : 1;
}

int main(int argc, char* argv[]) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "pixel" && argc >= 5) {
            return pixel(argc, argv);
        }
        if (command == "close" && argc == 3) {
            return close(argv[2]);
        }
        if (command == "keys-down" && argc == 2) {
            return keysDown();
        }
        if (command == "autorepeat" && argc == 3) {
            return autorepeat(argv[2]);
        }
        if (command == "repeating-keys" && argc == 2) {
            return repeatingKeys();
        }
        if (command == "grab-stop-key" && argc == 2) {
            return grabKey(true);
        }
        if (command == "grab-key" && argc == 3 && std::string(argv[2]) == "F9") {
            return grabKey(false);
        }
        if (command == "check-keyset" && argc == 3) {
            return checkKeySet(argv[2]);
        }
        if (command == "misbehave" && argc == 4) {
            return misbehave(argv[2], argv[3]);
        }
        if (command == "watch-keyset" && argc == 3) {
            return watchKeySet(argv[2]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_x11tool: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: %s pixel WINDOW X Y... | close WINDOW | keys-down | autorepeat on|off | "
                 "repeating-keys | "
                 "grab-stop-key | grab-key F9 | "
                 "check-keyset FILE | watch-keyset FILE | "
                 "misbehave SOCKET garbage|too-much|silent|half\n",
                 argv[0]);
    return 2;
}
