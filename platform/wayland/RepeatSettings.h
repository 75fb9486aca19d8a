#pragma once

// The keyboard repeat settings of GNOME and KDE, through each desktop's own
// tools: GSettings' `gsettings`, KConfig's `kreadconfig5`/`kwriteconfig5`
// with the change announced on the session bus as KConfig announces it (KWin
// follows the file only then). Plain C++ that runs programs: the key guard,
// a fork without Qt, puts the settings back with it too.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DesktopKeyRepeat.h"
#include "platform/Waiter.h"

namespace quindorel {

class WaylandConnection;

inline constexpr char kGnomeRepeat[] = "gnome";
inline constexpr char kKdeRepeat[] = "kde";

// GNOME's (org.gnome.desktop.peripherals.keyboard repeat) or KDE's
// (kcminputrc [Keyboard] KeyRepeat) by its name in the note; null for any
// other name.
std::unique_ptr<RepeatSetting> desktopRepeatSetting(const std::string& desktop);

// The desktop's client key repeat, off while keys are held (DesktopKeyRepeat).
// A key must not reach a client that still repeats: each switch off waits,
// at most 2 s, until `connection` (the program's own client, which the
// compositor tells as it tells every client) hears of it. `connection` may
// be null (nothing to wait on); both must outlive the result.
std::unique_ptr<DesktopKeyRepeat> repeatOffWhileHolding(std::unique_ptr<RepeatSetting> setting,
                                                        RepeatNote note, KeyGuard guard,
                                                        SystemLog log,
                                                        WaylandConnection* connection,
                                                        Waiter& waiter);

// Runs `argv` (found on PATH), at most `limitMs`: its output, or nothing
// when it cannot run, fails or takes too long.
std::optional<std::string> runTool(const std::vector<std::string>& argv, int limitMs = 10000);

}  // namespace quindorel
