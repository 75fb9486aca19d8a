#include "platform/wayland/WaylandKeyGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include "fake-input-client.h"
#include "platform/wayland/SwayIpc.h"
#include "platform/wayland/WaylandConnection.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace quindorel {

namespace {

bool isButton(SystemKey key) {
    return key > kWaylandButton && key < kSwayRepeatOff;
}

bool isKey(SystemKey key) {
    return key > kWaylandKey && key <= kWaylandKeyMax;
}

// KWin lets this process in as it did the program: the same executable.
void releaseFakeInput(org_kde_kwin_fake_input* fakeInput, const std::vector<GuardNote>& owed) {
    org_kde_kwin_fake_input_authenticate(fakeInput, "Quindorel", "lets go of held keys");
    for (const GuardNote& note : owed) {
        if (isKey(note.key)) {
            org_kde_kwin_fake_input_keyboard_key(fakeInput, note.key - kWaylandKey,
                                                 WL_KEYBOARD_KEY_STATE_RELEASED);
        } else if (isButton(note.key)) {
            org_kde_kwin_fake_input_button(fakeInput, note.key - kWaylandButton,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
        }
    }
}

void release(const std::vector<GuardNote>& owed) {
    auto connection = WaylandConnection::open();
    if (!connection) {
        return;
    }
    if (connection->globals().fakeInput != nullptr) {
        releaseFakeInput(connection->globals().fakeInput, owed);
        connection->roundtrip();
        return;
    }
    if (connection->globals().virtualPointers == nullptr) {
        return;
    }
    // The compositor counts a button down until some pointer of the seat
    // lets go of it: this one does.
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(
        connection->globals().virtualPointers, connection->globals().seat);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto time = static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
    for (const GuardNote& note : owed) {
        if (isButton(note.key)) {
            zwlr_virtual_pointer_v1_button(pointer, time, note.key - kWaylandButton,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
    }
    connection->roundtrip();
    zwlr_virtual_pointer_v1_destroy(pointer);
    connection->roundtrip();
}

}  // namespace

int lockSway(bool& another) {
    another = false;
    const char* socket = std::getenv("SWAYSOCK");
    if (socket == nullptr || *socket == '\0') {
        return -1;
    }
    // Beside the socket, in Sway's own runtime folder: every copy on that
    // Sway finds it, whatever runtime folder it was started with.
    const std::string path(socket);
    const auto slash = path.rfind('/');
    const std::string lock = slash == std::string::npos ? "quindorel." + path + ".lock"
                                                        : path.substr(0, slash + 1) + "quindorel." +
                                                              path.substr(slash + 1) + ".lock";
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return -1;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        another = errno == EWOULDBLOCK;
        ::close(fd);
        return -1;
    }
    return fd;
}

void letGoOnWayland(const std::vector<GuardNote>& owed) {
    bool toRelease = false;
    std::string commands;
    for (const GuardNote& note : owed) {
        toRelease = toRelease || isButton(note.key) || isKey(note.key);
        if (note.key > kSwayRepeatOff && note.key <= kSwayRepeatMax) {
            commands += std::string(kSwayVirtualKeyboards) + " repeat_rate " +
                        std::to_string(note.key - kSwayRepeatOff) + ";";
        } else if (note.key == kSwayStopBinding) {
            commands += std::string(kSwayUnbindStopKey) + ";";
        } else if (note.key >= kSwayToggleBinding && note.key <= kSwayToggleBindingMax) {
            const SystemKey key = note.key - kSwayToggleBinding;
            const std::string combo = swayKeyCombo(
                {static_cast<std::uint8_t>(key & 0xFF), static_cast<std::uint8_t>(key >> 8)});
            if (!combo.empty()) {
                commands += "mode default unbindsym " + combo + ";";
            }
        }
    }
    if (toRelease) {
        release(owed);
    }
    // Unless another copy has taken Sway over since: its binding and switch
    // are not ours to undo.
    bool another = false;
    const int lock = commands.empty() ? -1 : lockSway(another);
    if (!commands.empty() && !another) {
        if (auto sway = SwayIpc::open({})) {
            commands.pop_back();
            sway->run(commands);
        }
    }
    if (lock >= 0) {
        ::close(lock);
    }
}

}  // namespace quindorel
