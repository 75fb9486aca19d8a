// Drives the Wayland back end for the scripts, one step per argument:
//   wait:APP_ID   until a native window of that app id is listed (10 s)
//   activate:APP_ID   focus it
//   +VK / -VK     press / release a key or mouse button (Windows virtual-key code)
//   center        the pointer to the middle of the desktop
//   list          print the windows: id, activated, app id, title
//   sleep:MS      keep dispatching for MS milliseconds
//   -             then one step a line from standard input, each answered
//                 "ok" or "failed" (the scripts' way to keep one virtual
//                 keyboard for a whole test, as the program does)
// or, alone:
//   mouse         a virtual pointer and nothing else, kept until the driver
//                 is ended: the seat's mouse for a whole test. Sway 1.7
//                 crashes when a seat's only pointer comes and goes
//                 (docs/wayland.md), which a desktop with a mouse never sees.
// Exits 1 on the first argument step that fails.
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandInput.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"

using namespace quindorel;

namespace {

bool pump(WaylandConnection& connection, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        pollfd readable = {connection.fd(), POLLIN, 0};
        poll(&readable, 1, 20);
        if (!connection.dispatch()) {
            return false;
        }
    }
    return true;
}

WindowId windowOf(WaylandConnection& connection, const std::string& appId) {
    for (const auto& window : connection.toplevels().list()) {
        if (window.appId == appId) {
            return window.id;
        }
    }
    return 0;
}

bool step(WaylandConnection& connection, WaylandInput& input, const std::string& arg) {
    const std::string value = arg.substr(arg.find(':') + 1);
    if (arg.rfind("wait:", 0) == 0) {
        for (int i = 0; i < 500 && windowOf(connection, value) == 0; ++i) {
            pump(connection, 20);
        }
        return windowOf(connection, value) != 0;
    }
    if (arg.rfind("activate:", 0) == 0) {
        return connection.toplevels().activate(windowOf(connection, value),
                                               connection.globals().seat) &&
               connection.roundtrip();
    }
    if (arg[0] == '+' || arg[0] == '-') {
        const KeyStroke stroke{static_cast<std::uint8_t>(std::stoi(arg.substr(1))), arg[0] == '+'};
        const KeySendResult sent = input.send({stroke});
        return sent.outcome == KeySendOutcome::Sent && sent.keys.at(0) && connection.roundtrip();
    }
    if (arg == "center") {
        return input.movePointer(1, 1, 2, 2) && connection.roundtrip();
    }
    if (arg == "list") {
        for (const auto& window : connection.toplevels().list()) {
            std::printf("%d\t%d\t%s\t%s\n", window.id, int(window.activated), window.appId.c_str(),
                        window.title.c_str());
        }
        return true;
    }
    if (arg.rfind("sleep:", 0) == 0) {
        return pump(connection, std::stoi(value));
    }
    return false;
}

}  // namespace

int keepMouse(WaylandConnection& connection) {
    const WaylandConnection::Globals& globals = connection.globals();
    if (globals.virtualPointers == nullptr ||
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.virtualPointers,
                                                               globals.seat) == nullptr ||
        !connection.roundtrip()) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (pump(connection, 1000)) {
    }
    return 0;
}

int main(int argc, char** argv) {
    auto connection = WaylandConnection::open();
    if (connection && argc == 2 && std::string(argv[1]) == "mouse") {
        return keepMouse(*connection);
    }
    auto input = connection ? WaylandInput::create(*connection) : nullptr;
    if (!input) {
        std::fprintf(stderr, "wayland_driver: no virtual keyboard on this desktop\n");
        return 1;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-") {
            for (std::string line; std::getline(std::cin, line);) {
                std::printf("%s\n", step(*connection, *input, line) ? "ok" : "failed");
                std::fflush(stdout);
            }
        } else if (!step(*connection, *input, argv[i])) {
            std::fprintf(stderr, "wayland_driver: step %s failed\n", argv[i]);
            return 1;
        }
    }
    std::fflush(stdout);
    return 0;
}
