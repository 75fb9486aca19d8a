#include "platform/wayland/WaylandConnection.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "fake-input-client.h"
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace quindorel {

namespace {

// A keymap larger than this is a compositor's fault, not a keyboard.
constexpr std::uint32_t kMaxKeymapBytes = 16u << 20;

template <class T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

std::string readKeymap(int fd, std::uint32_t size) {
    std::string text;
    if (size > 0 && size <= kMaxKeymapBytes) {
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            const char* begin = static_cast<const char*>(mapped);
            text.assign(begin, std::find(begin, begin + size, '\0'));
            munmap(mapped, size);
        }
    }
    close(fd);
    return text;
}

void ignoreEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void ignoreLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void ignoreKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void ignoreModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t, std::uint32_t) {}
void ignoreSeatName(void*, wl_seat*, const char*) {}
void ignoreGlobalRemove(void*, wl_registry*, std::uint32_t) {}

}  // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(const char* name) {
    wl_display* display = wl_display_connect(name);
    if (display == nullptr) {
        return nullptr;
    }
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    static const wl_registry_listener registryListener = {onGlobal, ignoreGlobalRemove};
    connection->registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(connection->registry_, &registryListener, connection.get());
    // The globals; then the seat's capabilities; then the keyboard's keymap.
    for (int i = 0; i < 3; ++i) {
        if (!connection->roundtrip()) {
            return nullptr;
        }
    }
    return connection;
}

WaylandConnection::~WaylandConnection() {
    if (keyboard_ != nullptr) {
        wl_keyboard_destroy(keyboard_);
    }
    toplevels_.detach();
    if (globals_.fakeInput != nullptr) {
        org_kde_kwin_fake_input_destroy(globals_.fakeInput);
    }
    if (globals_.virtualPointers != nullptr) {
        zwlr_virtual_pointer_manager_v1_destroy(globals_.virtualPointers);
    }
    if (globals_.virtualKeyboards != nullptr) {
        zwp_virtual_keyboard_manager_v1_destroy(globals_.virtualKeyboards);
    }
    if (globals_.seat != nullptr) {
        wl_seat_destroy(globals_.seat);
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

bool isKwinGlobal(std::string_view interface) {
    return interface.rfind("org_kde_kwin", 0) == 0 &&
           interface != "org_kde_kwin_server_decoration_manager" &&
           interface != "org_kde_kwin_idle";
}

void WaylandConnection::onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                                 const char* interface, std::uint32_t version) {
    auto* self = static_cast<WaylandConnection*>(data);
    Globals& g = self->globals_;
    const std::string_view which(interface);
    if (isKwinGlobal(which)) {
        g.kwin = true;
    }
    if (which == wl_seat_interface.name && g.seat == nullptr) {
        // The first seat: the one every wlroots desktop has. Version 4 and
        // later tell the keyboard's repeat.
        g.seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        static const wl_seat_listener seatListener = {onSeatCapabilities, ignoreSeatName};
        wl_seat_add_listener(g.seat, &seatListener, self);
    } else if (which == zwp_virtual_keyboard_manager_v1_interface.name) {
        g.virtualKeyboards = bind<zwp_virtual_keyboard_manager_v1>(
            registry, name, &zwp_virtual_keyboard_manager_v1_interface, version, 1);
    } else if (which == zwlr_virtual_pointer_manager_v1_interface.name) {
        g.virtualPointers = bind<zwlr_virtual_pointer_manager_v1>(
            registry, name, &zwlr_virtual_pointer_manager_v1_interface, version, 2);
    } else if (which == org_kde_kwin_fake_input_interface.name && version >= 4) {
        // KWin's, shown only to programs it lets in; version 4 has keys.
        g.fakeInput = bind<org_kde_kwin_fake_input>(registry, name,
                                                    &org_kde_kwin_fake_input_interface, version, 4);
    } else if (which == zwlr_foreign_toplevel_manager_v1_interface.name &&
               !self->toplevels_.available()) {
        self->toplevels_.attach(bind<zwlr_foreign_toplevel_manager_v1>(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, version, 3));
    }
}

void WaylandConnection::onSeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto* self = static_cast<WaylandConnection*>(data);
    // A seat may gain its keyboard late: on a desktop without devices, when
    // the first virtual keyboard appears.
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && self->keyboard_ == nullptr) {
        static const wl_keyboard_listener keyboardListener = {
            onKeymap, ignoreEnter, ignoreLeave, ignoreKey, ignoreModifiers, onRepeatInfo};
        self->keyboard_ = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(self->keyboard_, &keyboardListener, self);
    }
}

void WaylandConnection::onKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd,
                                 std::uint32_t size) {
    auto* self = static_cast<WaylandConnection*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        self->seatKeyboard_.keymap = readKeymap(fd, size);
    } else {
        close(fd);
    }
}

void WaylandConnection::onRepeatInfo(void* data, wl_keyboard*, std::int32_t rate,
                                     std::int32_t delay) {
    auto* self = static_cast<WaylandConnection*>(data);
    self->seatKeyboard_.repeatRate = rate;
    self->seatKeyboard_.repeatDelay = delay;
}

int WaylandConnection::fd() const {
    return wl_display_get_fd(display_);
}

bool WaylandConnection::dispatch() {
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) {
            return false;
        }
    }
    pollfd readable = {fd(), POLLIN, 0};
    if (poll(&readable, 1, 0) > 0) {
        if (wl_display_read_events(display_) < 0) {
            return false;
        }
    } else {
        wl_display_cancel_read(display_);
    }
    return wl_display_dispatch_pending(display_) >= 0 && flush();
}

bool WaylandConnection::flush() {
    // A full socket (EAGAIN) keeps the rest queued for the next call.
    return wl_display_flush(display_) >= 0 || errno == EAGAIN;
}

bool WaylandConnection::settle(int limitMs) {
    bool done = false;
    static const wl_callback_listener listener = {
        [](void* data, wl_callback* callback, std::uint32_t) {
            if (data != nullptr) {
                *static_cast<bool*>(data) = true;
            }
            wl_callback_destroy(callback);
        }};
    wl_callback* callback = wl_display_sync(display_);
    wl_callback_add_listener(callback, &listener, &done);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable = {fd(), POLLIN, 0};
        if (left.count() <= 0 || !flush() || poll(&readable, 1, int(left.count())) < 0 ||
            !dispatch()) {
            break;
        }
    }
    if (!done) {
        // Gone with the connection, or answered later: nothing must touch `done` then.
        wl_callback_set_user_data(callback, nullptr);
    }
    return done;
}

bool WaylandConnection::roundtrip() {
    return wl_display_roundtrip(display_) >= 0;
}

}  // namespace quindorel
