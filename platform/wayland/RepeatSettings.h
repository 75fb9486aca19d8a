#pragma once

// The keyboard repeat settings of GNOME and KDE, through each desktop's own
// tools: GSettings' `gsettings`, KConfig's `kreadconfig5`/`kwriteconfig5`
// with the change announced on the session bus as KConfig announces it (KWin
// follows the file only then). Plain C++ that runs programs: the key guard,
// a fork without Qt, puts the settings back with it too.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/DesktopKeyRepeat.h"

namespace quindorel {

class WaylandConnection;

inline constexpr char kGnomeRepeat[] = "gnome";
inline constexpr char kKdeRepeat[] = "kde";

// GNOME's (org.gnome.desktop.peripherals.keyboard repeat) or KDE's
// (kcminputrc [Keyboard] KeyRepeat) by its name in the note; null for any
// other name.
std::unique_ptr<RepeatSetting> desktopRepeatSetting(const std::string& desktop);

// Whether the clients have heard that the desktop's key repeat is off: a
// key must not reach a client that still repeats. `connection` (the
// program's own client, which the compositor tells as it tells every
// client) hears it; the key-downs wait for it (Asking), at most 2 s (100 ms
// after one went unannounced), while the program goes on. `heard` runs
// when the wait ends. `connection` may be null (nothing to wait on) and
// must outlive this.
class RepeatOffHeard {
public:
    RepeatOffHeard(WaylandConnection* connection, std::unique_ptr<Clock> clock, SystemLog log);
    // Repeat was switched off just now.
    void expect();
    // Back on: nothing to wait for.
    void forget();
    bool waiting() const { return waiting_; }
    // The connection's owner read it just now: what it was told counts at
    // once, not on the clock's next tick.
    void connectionRead() {
        if (waiting_) {
            settle(false);
        }
    }

    std::function<void()> heard;

private:
    void look();  // on the clock: reads the connection, then settles
    void settle(bool lost);
    WaylandConnection* connection_;
    std::unique_ptr<Clock> clock_;
    SystemLog log_;
    bool waiting_ = false;
    std::chrono::steady_clock::time_point since_;
    // How long a wait may last: short once the compositor has let one pass
    // unannounced (its settings may be elsewhere, or locked), so that not
    // every hold of the run pays for it; long again once it announces.
    std::chrono::milliseconds limit_{2000};
};

// The desktop's client key repeat, off while keys are held (DesktopKeyRepeat),
// with the key-downs waiting each time until clients have heard of it
// (RepeatOffHeard): `heard` runs when they may go.
class HeldKeyRepeat {
public:
    HeldKeyRepeat(std::unique_ptr<RepeatSetting> setting, RepeatNote note, KeyGuard guard,
                  SystemLog log, WaylandConnection* connection, std::unique_ptr<Clock> clock,
                  std::function<void()> heard);
    // Before the strokes are sent: true when their key-downs must wait.
    bool mustWait(const std::vector<KeyStroke>& strokes);
    void afterSend(const std::vector<KeyStroke>& strokes, const KeySendResult& sent) {
        repeat_->afterSend(strokes, sent);
    }
    void notSent() { repeat_->notSent(); }
    bool waiting() const { return heard_.waiting(); }
    // The connection was read: the key-downs go as soon as it told.
    void connectionRead() { heard_.connectionRead(); }

private:
    RepeatOffHeard heard_;
    std::unique_ptr<DesktopKeyRepeat> repeat_;  // after heard_: put back first
};

// Runs `argv` (found on PATH), at most `limitMs`: its output, or nothing
// when it cannot run, fails or takes too long.
std::optional<std::string> runTool(const std::vector<std::string>& argv, int limitMs = 10000);

}  // namespace quindorel
