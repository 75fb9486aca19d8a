#include "platform/QtSystemLog.h"

Q_LOGGING_CATEGORY(lcX11, "quindorel.x11")
Q_LOGGING_CATEGORY(lcWin32, "quindorel.win32")
Q_LOGGING_CATEGORY(lcWayland, "quindorel.wayland")
Q_LOGGING_CATEGORY(lcGuard, "quindorel.guard")
Q_LOGGING_CATEGORY(lcCommand, "quindorel.command")

namespace quindorel {

namespace {

using Category = const QLoggingCategory& (*)();

Category categoryOf(LogTopic topic) {
    switch (topic) {
        case LogTopic::X11:
            return lcX11;
        case LogTopic::Win32:
            return lcWin32;
        case LogTopic::Wayland:
            return lcWayland;
        case LogTopic::KeyGuard:
            return lcGuard;
        case LogTopic::Command:
            break;
    }
    return lcCommand;
}

}  // namespace

SystemLog qtSystemLog() {
    return SystemLog([](LogTopic topic, LogLevel level, const std::string& line) {
        const Category category = categoryOf(topic);
        if (level == LogLevel::Warning) {
            qCWarning(category, "%s", line.c_str());
        } else {
            qCDebug(category, "%s", line.c_str());
        }
    });
}

}  // namespace quindorel
