#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemLog.h"
#include "platform/wayland/SwayConfig.h"

struct xkb_keymap;

namespace quindorel {

// What Sway tells and does over its IPC socket (SWAYSOCK) that the Wayland
// protocols do not: where windows lie, whether they float, moving them,
// input settings and key bindings. Each request waits for its answer, at
// most a second: Sway answers at once.
class SwayIpc {
public:
    struct Rect {
        std::int32_t x = 0, y = 0, width = 0, height = 0;
        bool contains(std::int32_t px, std::int32_t py) const {
            return px >= x && py >= y && px < x + width && py < y + height;
        }
    };
    struct Window {
        std::int64_t conId = 0;
        std::string title;
        std::string appId;  // native windows; Xwayland ones have none
        bool xwayland = false;
        std::uint32_t x11Window = 0;  // an Xwayland window's X11 id
        std::string x11Class;         // and its class
        bool floating = false;
        bool focused = false;  // has the seat's focus
        std::int32_t pid = 0;
        Rect rect;  // on the whole layout
    };
    struct Tree {
        Rect layout;                  // every output
        std::vector<Window> windows;  // tiled ones first, then floating ones bottom to top
    };

    // The Sway of SWAYSOCK, or null when there is none.
    static std::unique_ptr<SwayIpc> open(SystemLog log);
    ~SwayIpc();
    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    std::optional<Tree> tree();
    // Runs the commands; whether Sway says each one succeeded.
    bool run(const std::string& commands);
    // Whether the user's configuration binds Ctrl+Shift+S to something, or
    // may: the configuration Sway was started with, read as Sway reads it
    // (SwayConfig.h). `keymap` is the seat's, or null.
    bool stopKeyTaken(xkb_keymap* keymap);
    // The same for the user's start/stop key.
    bool keyTaken(xkb_keymap* keymap, const HotKey& key);
    // The repeat rate of virtual keyboards now in force, as get_inputs
    // tells it (Sway 1.8 and later), else as the configuration sets it;
    // nothing when Sway tells neither.
    std::optional<std::int32_t> virtualKeyboardRepeatRate();
    // Both read the configuration once: Sway keeps to what it read until it
    // reloads, after which this is called.
    void forgetConfiguration() { configuration_.reset(); }

    // Turns this connection into one that hears of Sway's reloads (and
    // nothing else it can answer): true once Sway agrees.
    bool listenForReloads();
    int fd() const { return fd_; }
    // Reads the events that have come, without waiting for more: whether
    // Sway has reloaded its configuration since the last call. False too
    // when the connection is gone (see lost()).
    bool reloaded();
    bool lost() const { return lost_; }

    // The parts that read Sway's answers, apart for tests.
    static std::optional<Tree> parseTree(const std::string& json);
    static std::optional<std::int32_t> parseVirtualKeyboardRepeatRate(const std::string& json);
    static bool isReload(std::uint32_t type, const std::string& json);

private:
    SwayIpc(int fd, SystemLog log) : fd_(fd), log_(std::move(log)) {}
    // The configuration Sway was started with, read whole (SwayConfig.h),
    // or as last read.
    const SwayBindings* configuration();
    // Whether the configuration has a binding `binds` takes, or may have
    // (what it could not read); `name` is the key's, for the log.
    bool bound(const std::string& name, const std::function<bool(const SwayBinding&)>& binds);
    std::optional<std::string> request(std::uint32_t type, const std::string& payload);
    // One whole message, header and payload, within the deadline.
    std::optional<std::pair<std::uint32_t, std::string>> receive(
        std::chrono::steady_clock::time_point deadline);

    int fd_;
    bool lost_ = false;
    std::optional<SwayBindings> configuration_;
    SystemLog log_;
};

}  // namespace quindorel
