#include "platform/wayland/SwayIpc.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <type_traits>

namespace quindorel {

namespace {

using nlohmann::json;

constexpr char kMagic[] = "i3-ipc";
constexpr std::size_t kMagicSize = 6;
constexpr std::size_t kHeaderSize = kMagicSize + 8;
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetTree = 4;
constexpr std::uint32_t kGetConfig = 9;
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

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
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

std::optional<std::string> SwayIpc::request(std::uint32_t type, const std::string& payload) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    std::string out(kMagic, kMagicSize);
    const auto length = static_cast<std::uint32_t>(payload.size());
    out.append(reinterpret_cast<const char*>(&length), 4);
    out.append(reinterpret_cast<const char*>(&type), 4);
    out += payload;
    char header[kHeaderSize];
    std::uint32_t answerLength = 0;
    std::string answer;
    const bool ok =
        whole(fd_, POLLOUT, out.size(), deadline,
              [&](std::size_t at, std::size_t n) {
                  return send(fd_, out.data() + at, n, MSG_NOSIGNAL);
              }) &&
        whole(fd_, POLLIN, kHeaderSize, deadline,
              [&](std::size_t at, std::size_t n) { return recv(fd_, header + at, n, 0); }) &&
        std::memcmp(header, kMagic, kMagicSize) == 0 &&
        (std::memcpy(&answerLength, header + kMagicSize, 4), answerLength <= kMaxAnswer) &&
        (answer.resize(answerLength),
         whole(fd_, POLLIN, answerLength, deadline,
               [&](std::size_t at, std::size_t n) { return recv(fd_, answer.data() + at, n, 0); }));
    if (!ok) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "Sway's IPC gave no answer to request " + std::to_string(type));
        return std::nullopt;
    }
    return answer;
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

bool SwayIpc::bindsStopKey(const std::string& config) {
    // Variables first ("set $mod Control"), then each bindsym's key, its
    // parts in any order and case.
    std::map<std::string, std::string> variables;
    std::istringstream lines(config);
    const std::set<std::string> stopKey = {"ctrl", "shift", "s"};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "set") {
            std::string name, value;
            words >> name >> value;
            variables[name] = value;
        } else if (word == "bindsym") {
            while (words >> word && word.rfind("--", 0) == 0) {
            }
            for (const auto& [name, value] : variables) {
                for (std::size_t at; (at = word.find(name)) != std::string::npos;) {
                    word.replace(at, name.size(), value);
                }
            }
            std::set<std::string> parts;
            std::istringstream keys(lower(word));
            for (std::string part; std::getline(keys, part, '+');) {
                parts.insert(part == "control" ? "ctrl" : part);
            }
            if (parts == stopKey) {
                return true;
            }
        }
    }
    return false;
}

bool SwayIpc::stopKeyTaken() {
    const auto answer = request(kGetConfig, "");
    const json reply = answer ? json::parse(*answer, nullptr, false) : json();
    return bindsStopKey(field(reply, "config", std::string()));
}

}  // namespace quindorel
