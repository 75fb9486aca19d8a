#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemLog.h"

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
    // Whether the user's configuration binds Ctrl+Shift+S to something.
    bool stopKeyTaken();

    // The parts that read Sway's answers, apart for tests.
    static std::optional<Tree> parseTree(const std::string& json);
    static bool bindsStopKey(const std::string& config);

private:
    SwayIpc(int fd, SystemLog log) : fd_(fd), log_(std::move(log)) {}
    std::optional<std::string> request(std::uint32_t type, const std::string& payload);

    int fd_;
    SystemLog log_;
};

}  // namespace quindorel
