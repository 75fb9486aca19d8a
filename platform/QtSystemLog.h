#pragma once

// The platform's logging categories, and the system log that writes the back
// ends' lines into them. Switch them on with QT_LOGGING_RULES (see README).
#include <QLoggingCategory>

#include "platform/SystemLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcX11)
Q_DECLARE_LOGGING_CATEGORY(lcWin32)
Q_DECLARE_LOGGING_CATEGORY(lcWayland)
Q_DECLARE_LOGGING_CATEGORY(lcGuard)
Q_DECLARE_LOGGING_CATEGORY(lcCommand)

namespace quindorel {

// Each topic to its category: X11 to quindorel.x11, Win32 to quindorel.win32,
// Wayland to quindorel.wayland, KeyGuard to quindorel.guard, Command to
// quindorel.command.
SystemLog qtSystemLog();

}  // namespace quindorel
