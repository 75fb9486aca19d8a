#include "platform/wayland/RepeatSettings.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "platform/wayland/WaylandConnection.h"

extern char** environ;

namespace quindorel {

namespace {

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

class GnomeRepeat : public RepeatSetting {
public:
    std::string desktop() const override { return kGnomeRepeat; }
    std::optional<std::string> read() override {
        auto out = runTool({"gsettings", "get", kSchema, "repeat"});
        if (!out) {
            return std::nullopt;
        }
        const std::string value = firstLine(*out);
        if (value != "true" && value != "false") {
            return std::nullopt;
        }
        return value;
    }
    bool write(const std::string& value) override {
        // GSettings has no value unset here: the default is on.
        return runTool({"gsettings", "set", kSchema, "repeat", value.empty() ? "true" : value})
            .has_value();
    }
    std::string off() const override { return "false"; }
    std::string fallback() const override { return "true"; }

private:
    static constexpr char kSchema[] = "org.gnome.desktop.peripherals.keyboard";
};

class KdeRepeat : public RepeatSetting {
public:
    std::string desktop() const override { return kKdeRepeat; }
    std::optional<std::string> read() override {
        const auto out = runTool(
            {"kreadconfig5", "--file", "kcminputrc", "--group", "Keyboard", "--key", "KeyRepeat"});
        return out ? std::optional<std::string>(firstLine(*out)) : std::nullopt;
    }
    bool write(const std::string& value) override {
        std::vector<std::string> command = {"kwriteconfig5", "--file", "kcminputrc", "--group",
                                            "Keyboard",      "--key",  "KeyRepeat"};
        if (value.empty()) {
            command.emplace_back("--delete");  // the user never set it: KDE's default again
        } else {
            command.push_back(value);
        }
        return runTool(command) && announce();
    }
    std::string off() const override { return "nothing"; }
    std::string fallback() const override { return ""; }

private:
    // What KConfig's notifying writes send (kwriteconfig5 sends nothing):
    // KWin reads the file again and tells its clients.
    static bool announce() {
        std::string bytes = "[byte";
        for (const char c : std::string("KeyRepeat")) {
            bytes += " " + std::to_string(static_cast<int>(c)) + ",";
        }
        bytes.back() = ']';
        return runTool({"gdbus", "emit", "--session", "--object-path", "/kcminputrc", "--signal",
                        "org.kde.kconfig.notify.ConfigChanged", "{'Keyboard': [" + bytes + "]}"})
            .has_value();
    }
};

}  // namespace

std::unique_ptr<RepeatSetting> desktopRepeatSetting(const std::string& desktop) {
    if (desktop == kGnomeRepeat) {
        return std::make_unique<GnomeRepeat>();
    }
    if (desktop == kKdeRepeat) {
        return std::make_unique<KdeRepeat>();
    }
    return nullptr;
}

RepeatOffHeard::RepeatOffHeard(WaylandConnection* connection, std::unique_ptr<Clock> clock,
                               SystemLog log)
    : connection_(connection), clock_(std::move(clock)), log_(std::move(log)) {
    clock_->setEnabled(false);
    clock_->setOnTick([this] { look(); });
}

void RepeatOffHeard::expect() {
    // Nothing to hear where the compositor never told a rate.
    if (connection_ == nullptr || connection_->seatKeyboard().repeatRate <= 0) {
        return;
    }
    waiting_ = true;
    since_ = std::chrono::steady_clock::now();
    clock_->setInterval(10);
    clock_->setEnabled(true);
}

void RepeatOffHeard::forget() {
    waiting_ = false;
    clock_->setEnabled(false);
}

void RepeatOffHeard::look() {
    settle(!connection_->dispatch());
}

void RepeatOffHeard::settle(bool lost) {
    const bool told = connection_->seatKeyboard().repeatRate == 0;
    if (!lost && !told) {
        if (std::chrono::steady_clock::now() - since_ < limit_) {
            return;
        }
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   std::string("the compositor did not announce key repeat off within ") +
                       (limit_ < std::chrono::seconds(1) ? "100 ms" : "2 s"));
        limit_ = std::chrono::milliseconds(100);
    } else if (told) {
        limit_ = std::chrono::milliseconds(2000);
    }
    forget();
    if (heard) {
        heard();
    }
}

HeldKeyRepeat::HeldKeyRepeat(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                             KeyGuard guard, SystemLog log, WaylandConnection* connection,
                             std::unique_ptr<Clock> clock, std::function<void()> heard)
    : heard_(connection, std::move(clock), log) {
    heard_.heard = std::move(heard);
    repeat_ = std::make_unique<DesktopKeyRepeat>(
        std::move(setting), std::move(note), std::move(guard), std::move(log),
        [this](bool on) { on ? heard_.forget() : heard_.expect(); });
}

bool HeldKeyRepeat::mustWait(const std::vector<KeyStroke>& strokes) {
    repeat_->beforeSend(strokes);
    return heard_.waiting() &&
           std::any_of(strokes.begin(), strokes.end(), [](const KeyStroke& s) { return s.down; });
}

std::optional<std::string> runTool(const std::vector<std::string>& argv, int limitMs) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return std::nullopt;
    }
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd readable{out[0], POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buffer[512];
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    if (timedOut) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return text;
}

}  // namespace quindorel
