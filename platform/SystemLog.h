#pragma once

// What the back ends have to say about failures of the system beneath them
// (an X error, a refused system call), in plain C++: a topic, a level and a
// line, handed to a sink. The program's sink writes them to Qt's logging
// categories; the default sink says nothing, so a test or a tool can leave it
// out.

#include <functional>
#include <string>
#include <utility>

namespace quindorel {

enum class LogTopic { X11, Win32, Wayland, KeyGuard, Command };

// Debug: expected in normal use (a window that vanished under a walk).
// Warning: something the user may notice, or that changed the server's state.
enum class LogLevel { Debug, Warning };

class SystemLog {
public:
    using Sink = std::function<void(LogTopic, LogLevel, const std::string&)>;

    SystemLog() = default;
    explicit SystemLog(Sink sink) : sink_(std::move(sink)) {}

    void write(LogTopic topic, LogLevel level, const std::string& line) const {
        if (sink_) {
            sink_(topic, level, line);
        }
    }

private:
    Sink sink_;
};

}  // namespace quindorel
