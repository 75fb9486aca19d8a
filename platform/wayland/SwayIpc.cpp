#include "platform/wayland/SwayIpc.h"

#include "platform/wayland/SwayConfig.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <type_traits>

namespace quindorel {

namespace {

using nlohmann::json;

constexpr char kMagic[] = "i3-ipc";
constexpr std::size_t kMagicSize = 6;
constexpr std::size_t kHeaderSize = kMagicSize + 8;
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetTree = 4;
constexpr std::uint32_t kSubscribe = 2;
constexpr std::uint32_t kGetConfig = 9;
constexpr std::uint32_t kGetInputs = 100;
constexpr std::uint32_t kEvent = 0x80000000;
constexpr std::uint32_t kWorkspaceEvent = kEvent | 0;
// Sway's identifier of every virtual keyboard, ours among them.
constexpr char kVirtualKeyboard[] = "0:0:virtual_keyboard";
// An answer larger than this is no answer of Sway's to us.
constexpr std::uint32_t kMaxAnswer = 64 * 1024 * 1024;

// Moves `size` bytes in or out within the deadline; false on error or time out.
template <typename Step>
bool whole(int fd, short events, std::size_t size, std::chrono::steady_clock::time_point deadline,
           Step step) {
    std::size_t done = 0;
    while (done < size) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready = {fd, events, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        const ssize_t n = step(done, size - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A member of an object when it has the type asked for, else `otherwise`:
// an answer of odd shape is passed over, never trusted.
template <typename T>
T field(const json& node, const char* key, T otherwise) {
    if (!node.is_object() || !node.contains(key)) {
        return otherwise;
    }
    const json& value = node[key];
    if constexpr (std::is_same_v<T, std::string>) {
        return value.is_string() ? value.get<std::string>() : otherwise;
    } else if constexpr (std::is_same_v<T, bool>) {
        return value.is_boolean() ? value.get<bool>() : otherwise;
    } else {
        return value.is_number_integer() ? value.get<T>() : otherwise;
    }
}

SwayIpc::Rect rectOf(const json& node) {
    const json r = node.is_object() && node.contains("rect") ? node["rect"] : json();
    return {field(r, "x", 0), field(r, "y", 0), field(r, "width", 0), field(r, "height", 0)};
}

void collect(const json& node, bool floating, std::vector<SwayIpc::Window>& windows) {
    if (!node.is_object()) {
        return;
    }
    // A window is a container with a process; workspaces and splits have none.
    if (const std::int32_t pid = field(node, "pid", 0); pid != 0) {
        SwayIpc::Window window;
        window.conId = field(node, "id", std::int64_t{0});
        window.title = field(node, "name", std::string());
        window.appId = field(node, "app_id", std::string());
        window.xwayland = field(node, "shell", std::string()) == "xwayland";
        if (window.xwayland) {
            window.x11Window = field(node, "window", std::uint32_t{0});
            if (node.contains("window_properties")) {
                window.x11Class = field(node["window_properties"], "class", std::string());
            }
        }
        window.focused = field(node, "focused", false);
        window.floating = floating;
        window.pid = pid;
        window.rect = rectOf(node);
        windows.push_back(std::move(window));
    }
    for (const char* kind : {"nodes", "floating_nodes"}) {
        if (node.contains(kind) && node[kind].is_array()) {
            for (const json& child : node[kind]) {
                collect(child, floating || std::strcmp(kind, "floating_nodes") == 0, windows);
            }
        }
    }
}

}  // namespace

std::unique_ptr<SwayIpc> SwayIpc::open(SystemLog log) {
    const char* path = std::getenv("SWAYSOCK");
    sockaddr_un address{};
    if (path == nullptr || std::strlen(path) >= sizeof(address.sun_path)) {
        return nullptr;
    }
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        log.write(LogTopic::Wayland, LogLevel::Debug,
                  std::string("cannot reach Sway's IPC at ") + path + ": " + std::strerror(errno));
        if (fd >= 0) {
            close(fd);
        }
        return nullptr;
    }
    return std::unique_ptr<SwayIpc>(new SwayIpc(fd, std::move(log)));
}

SwayIpc::~SwayIpc() {
    close(fd_);
}

std::optional<std::pair<std::uint32_t, std::string>> SwayIpc::receive(
    std::chrono::steady_clock::time_point deadline) {
    char header[kHeaderSize];
    std::uint32_t length = 0;
    std::uint32_t type = 0;
    std::string payload;
    const bool ok =
        whole(fd_, POLLIN, kHeaderSize, deadline,
              [&](std::size_t at, std::size_t n) { return recv(fd_, header + at, n, 0); }) &&
        std::memcmp(header, kMagic, kMagicSize) == 0 &&
        (std::memcpy(&length, header + kMagicSize, 4), length <= kMaxAnswer) &&
        (std::memcpy(&type, header + kMagicSize + 4, 4), payload.resize(length),
         whole(fd_, POLLIN, length, deadline, [&](std::size_t at, std::size_t n) {
             return recv(fd_, payload.data() + at, n, 0);
         }));
    if (!ok) {
        lost_ = true;
        return std::nullopt;
    }
    return std::make_pair(type, std::move(payload));
}

std::optional<std::string> SwayIpc::request(std::uint32_t type, const std::string& payload) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    std::string out(kMagic, kMagicSize);
    const auto length = static_cast<std::uint32_t>(payload.size());
    out.append(reinterpret_cast<const char*>(&length), 4);
    out.append(reinterpret_cast<const char*>(&type), 4);
    out += payload;
    std::optional<std::pair<std::uint32_t, std::string>> answer;
    if (whole(fd_, POLLOUT, out.size(), deadline, [&](std::size_t at, std::size_t n) {
            return send(fd_, out.data() + at, n, MSG_NOSIGNAL);
        })) {
        // Events the connection listens for may come before the answer.
        do {
            answer = receive(deadline);
        } while (answer && (answer->first & kEvent) != 0);
    }
    if (!answer || answer->first != type) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "Sway's IPC gave no answer to request " + std::to_string(type));
        return std::nullopt;
    }
    return std::move(answer->second);
}

std::optional<SwayIpc::Tree> SwayIpc::parseTree(const std::string& text) {
    const json root = json::parse(text, nullptr, false);
    if (!root.is_object()) {
        return std::nullopt;
    }
    Tree tree;
    tree.layout = rectOf(root);
    collect(root, false, tree.windows);
    // Floating windows lie above the tiled ones.
    std::stable_partition(tree.windows.begin(), tree.windows.end(),
                          [](const Window& window) { return !window.floating; });
    return tree;
}

std::optional<SwayIpc::Tree> SwayIpc::tree() {
    const auto answer = request(kGetTree, "");
    return answer ? parseTree(*answer) : std::nullopt;
}

bool SwayIpc::run(const std::string& commands) {
    const auto answer = request(kRunCommand, commands);
    const json results = answer ? json::parse(*answer, nullptr, false) : json();
    if (!results.is_array() || results.empty()) {
        return false;
    }
    for (const json& result : results) {
        if (!field(result, "success", false)) {
            log_.write(
                LogTopic::Wayland, LogLevel::Warning,
                "Sway refused \"" + commands + "\": " + field(result, "error", std::string()));
            return false;
        }
    }
    return true;
}

const SwayBindings* SwayIpc::configuration() {
    if (configuration_) {
        return &*configuration_;
    }
    const auto answer = request(kGetConfig, "");
    const json reply = answer ? json::parse(*answer, nullptr, false) : json();
    if (!reply.is_object() || !reply.contains("config") || !reply["config"].is_string()) {
        log_.write(LogTopic::Wayland, LogLevel::Warning, "Sway did not tell its configuration");
        return nullptr;
    }
    // Sway 1.7 tells the main file's text, not where it lies: its command
    // line and environment do.
    ucred peer{};
    socklen_t size = sizeof peer;
    const int pid = getsockopt(fd_, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 ? peer.pid : 0;
    const std::string path = pid > 0 ? swayConfigPath(pid) : std::string();
    configuration_ =
        readSwayBindings(reply["config"].get<std::string>(), path, swayConfigFiles(pid));
    return &*configuration_;
}

bool SwayIpc::stopKeyTaken(xkb_keymap* keymap) {
    return bound("Ctrl+Shift+S",
                 [keymap](const SwayBinding& b) { return bindsStopKey(b, keymap); });
}

bool SwayIpc::keyTaken(xkb_keymap* keymap, const HotKey& key) {
    return bound(swayKeyCombo(key),
                 [keymap, key](const SwayBinding& b) { return bindsKey(b, keymap, key); });
}

bool SwayIpc::bound(const std::string& name, const std::function<bool(const SwayBinding&)>& binds) {
    const SwayBindings* read = configuration();
    if (read == nullptr) {
        return true;
    }
    for (const std::string& doubt : read->doubts) {
        log_.write(
            LogTopic::Wayland, LogLevel::Warning,
            "Sway's configuration is not read whole (" + doubt + "): " + name + " is left to it");
    }
    return !read->doubts.empty() ||
           std::any_of(read->bindings.begin(), read->bindings.end(), binds);
}

std::optional<std::int32_t> SwayIpc::parseVirtualKeyboardRepeatRate(const std::string& text) {
    const json inputs = json::parse(text, nullptr, false);
    if (!inputs.is_array()) {
        return std::nullopt;
    }
    for (const json& input : inputs) {
        const std::int32_t rate = field(input, "repeat_rate", std::int32_t{-1});
        if (field(input, "identifier", std::string()) == kVirtualKeyboard && rate >= 0) {
            return rate;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> SwayIpc::virtualKeyboardRepeatRate() {
    const auto answer = request(kGetInputs, "");
    if (const auto told = answer ? parseVirtualKeyboardRepeatRate(*answer) : std::nullopt) {
        return told;
    }
    const SwayBindings* read = configuration();
    return read != nullptr ? std::optional<std::int32_t>(read->virtualKeyboardRepeatRate)
                           : std::nullopt;
}

bool SwayIpc::listenForReloads() {
    const auto answer = request(kSubscribe, R"(["workspace"])");
    return answer && field(json::parse(*answer, nullptr, false), "success", false);
}

bool SwayIpc::isReload(std::uint32_t type, const std::string& text) {
    return type == kWorkspaceEvent &&
           field(json::parse(text, nullptr, false), "change", std::string()) == "reload";
}

bool SwayIpc::reloaded() {
    bool reload = false;
    for (pollfd ready = {fd_, POLLIN, 0}; !lost_ && poll(&ready, 1, 0) > 0;) {
        // A message begun is read whole: Sway writes each at once.
        const auto event = receive(std::chrono::steady_clock::now() + std::chrono::seconds(1));
        reload = reload || (event && isReload(event->first, event->second));
    }
    return reload;
}

}  // namespace quindorel
