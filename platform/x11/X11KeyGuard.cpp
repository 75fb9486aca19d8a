#include "platform/x11/X11KeyGuard.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/GuardSocket.h"
#include "platform/KeyLedger.h"
#include "platform/x11/X11Keyboard.h"

namespace quindorel {

namespace {

void letGo(const std::vector<GuardNote>& owed, const char* displayName) {
    xcb_connection_t* connection = xcb_connect(displayName, nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        for (const GuardNote& note : owed) {
            if (note.key > kButtonKeyBase && note.key <= kButtonKeyBase + 255) {
                xcb_test_fake_input(connection, XCB_BUTTON_RELEASE,
                                    static_cast<std::uint8_t>(note.key - kButtonKeyBase),
                                    XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
                continue;
            }
            if (note.key > 255) {
                continue;  // no keycode: not ours
            }
            xcb_test_fake_input(connection, XCB_KEY_RELEASE, static_cast<std::uint8_t>(note.key),
                                XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            if (note.repeat) {
                const std::uint32_t values[] = {note.key, XCB_AUTO_REPEAT_MODE_ON};
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

KeyGuard startX11KeyGuard(const SystemLog& log) {
    const auto failed = [&log](const char* what) {
        log.write(LogTopic::KeyGuard, LogLevel::Warning,
                  std::string("cannot start the key guard: ") + what + ": " + std::strerror(errno));
        return KeyGuard();
    };
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return failed("socketpair");
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        failed("fork");
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
        serveX11KeyGuard(ends[1], nullptr);
        ::_exit(0);
    }
    ::close(ends[1]);
    return KeyGuard(socketGuardLink(ends[0]));
}

void serveX11KeyGuard(int socket, const char* displayName) {
    KeyLedger ledger;
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t got = ::read(socket, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // the program has ended, one way or another
        }
        ledger.read(buffer, static_cast<std::size_t>(got));
    }
    ::close(socket);
    if (const std::vector<GuardNote> owed = ledger.owed(); !owed.empty()) {
        letGo(owed, displayName);
    }
}

}  // namespace quindorel
