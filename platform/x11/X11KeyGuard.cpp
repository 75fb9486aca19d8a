#include "platform/x11/X11KeyGuard.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

namespace quindorel {

namespace {

// A record on the socket: flags, then the keycode.
constexpr std::uint8_t kDown = 1;
constexpr std::uint8_t kRepeat = 2;
constexpr std::uint8_t kModifier = 4;

// Still down, in the order the keys went down.
void letGo(std::vector<GuardedKey> held, const char* displayName) {
    // As a hand does: Shift, Ctrl, Alt and the Windows keys come up last.
    std::stable_partition(held.begin(), held.end(),
                          [](const GuardedKey& key) { return !key.modifier; });
    xcb_connection_t* connection = xcb_connect(displayName, nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        for (const GuardedKey& key : held) {
            xcb_test_fake_input(connection, XCB_KEY_RELEASE, key.keycode, XCB_CURRENT_TIME,
                                XCB_NONE, 0, 0, 0);
            if (key.repeat) {
                const std::uint32_t values[] = {key.keycode, XCB_AUTO_REPEAT_MODE_ON};
                xcb_change_keyboard_control(connection, XCB_KB_KEY | XCB_KB_AUTO_REPEAT_MODE,
                                            values);
            }
        }
        // Answered only once the server has handled every request before it.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
}

}  // namespace

X11KeyGuard X11KeyGuard::start() {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return {};
    }
    if (pid == 0) {
        ::close(ends[0]);
        // Out of sight: no terminal output, and the signals that end the
        // program (a Ctrl+C reaches the whole process group) leave the guard
        // to end when the socket closes, after the program has let go itself.
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; fd <= 2 && null >= 0; ++fd) {
            ::dup2(null, fd);
        }
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
            std::signal(signal, SIG_IGN);
        }
        ::prctl(PR_SET_NAME, "quindorel-guard");
        serve(ends[1], nullptr);
        ::_exit(0);
    }
    ::close(ends[1]);
    return X11KeyGuard(ends[0]);
}

X11KeyGuard& X11KeyGuard::operator=(X11KeyGuard&& other) noexcept {
    if (this != &other) {
        if (socket_ >= 0) {
            ::close(socket_);
        }
        socket_ = other.socket_;
        other.socket_ = -1;
    }
    return *this;
}

X11KeyGuard::~X11KeyGuard() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

void X11KeyGuard::tell(const std::vector<GuardedKey>& keys) {
    if (socket_ < 0 || keys.empty()) {
        return;
    }
    std::vector<std::uint8_t> records;
    for (const GuardedKey& key : keys) {
        records.push_back(static_cast<std::uint8_t>(
            (key.down ? kDown : 0) | (key.repeat ? kRepeat : 0) | (key.modifier ? kModifier : 0)));
        records.push_back(key.keycode);
    }
    ssize_t sent = -1;
    do {
        sent = ::send(socket_, records.data(), records.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    if (sent != static_cast<ssize_t>(records.size())) {
        // Gone or stuck: a half-told ledger would be wrong, so stop telling.
        ::close(socket_);
        socket_ = -1;
    }
}

void X11KeyGuard::serve(int socket, const char* displayName) {
    std::vector<GuardedKey> held;
    std::uint8_t buffer[512];
    std::size_t have = 0;
    for (;;) {
        const ssize_t got = ::read(socket, buffer + have, sizeof buffer - have);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // the program has ended, one way or another
        }
        have += static_cast<std::size_t>(got);
        std::size_t used = 0;
        for (; used + 2 <= have; used += 2) {
            const std::uint8_t flags = buffer[used];
            const std::uint8_t keycode = buffer[used + 1];
            const auto known =
                std::find_if(held.begin(), held.end(),
                             [keycode](const GuardedKey& k) { return k.keycode == keycode; });
            if (flags & kDown) {
                // A key pressed again keeps what its first press saw.
                if (known == held.end()) {
                    held.push_back(
                        {keycode, true, (flags & kRepeat) != 0, (flags & kModifier) != 0});
                }
            } else if (known != held.end()) {
                held.erase(known);
            }
        }
        if (used < have) {
            buffer[0] = buffer[used];
        }
        have -= used;
    }
    ::close(socket);
    if (!held.empty()) {
        letGo(std::move(held), displayName);
    }
}

}  // namespace quindorel
