#include "platform/QtSystemLog.h"

// Debug lines (expected failures: a window that went away, no copy running)
// only when asked for with QT_LOGGING_RULES; warnings always.

Q_LOGGING_CATEGORY(lcX11, "quindorel.x11", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWin32, "quindorel.win32", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWayland, "quindorel.wayland", QtInfoMsg)
Q_LOGGING_CATEGORY(lcGuard, "quindorel.guard", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCommand, "quindorel.command", QtInfoMsg)

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
