#pragma once

// What a Wayland desktop keeps when the program dies mid-hold: wlroots lets go
// of a dead client's virtual keys, but not of its virtual pointer's buttons,
// and Sway keeps the settings the program gave it (no repeat for virtual
// keyboards, the stop key's binding); KWin keeps a dead client's fake keys
// and buttons down. The key guard (GuardSocket.h) hears of each and puts them
// right on connections of its own.

#include <cstdint>
#include <vector>

#include "platform/KeyGuard.h"
#include "platform/NativeDesktop.h"

namespace quindorel {

// The guard's notes of the Wayland back end, apart from X11's (below 0x200).
// A button down: kWaylandButton + its BTN_ code.
inline constexpr SystemKey kWaylandButton = 0x10000;
// Down while virtual keyboards do not repeat: kSwayRepeatOff + the rate to
// put back.
inline constexpr SystemKey kSwayRepeatOff = 0x20000;
inline constexpr SystemKey kSwayRepeatMax = 0x2FFFF;
// Down while the stop key is bound to the program.
inline constexpr SystemKey kSwayStopBinding = 0x30000;
// Down while the user's start/stop key is bound to the program:
// kSwayToggleBinding + the key's virtual-key code + its modifiers * 256.
inline constexpr SystemKey kSwayToggleBinding = 0x31000;
inline constexpr SystemKey kSwayToggleBindingMax = 0x31FFF;
inline SystemKey swayToggleBindingNote(const HotKey& key) {
    return kSwayToggleBinding + key.virtualKey + (SystemKey(key.modifiers) << 8);
}
// Sway's input identifier of every virtual keyboard, ours among them.
inline constexpr char kSwayVirtualKeyboards[] = "input 0:0:virtual_keyboard";
// Takes the program's stop key binding away, from the mode it was made in.
inline constexpr char kSwayUnbindStopKey[] = "mode default unbindsym Ctrl+Shift+s";
// A key down where the compositor keeps it (KWin): kWaylandKey + its evdev code.
inline constexpr SystemKey kWaylandKey = 0x40000;
inline constexpr SystemKey kWaylandKeyMax = 0x4FFFF;

// Which copy of the program on a Sway keeps Sway's settings for its run (the
// stop key's binding, the repeat switch): the one that holds the lock of
// SWAYSOCK's Sway, which goes with the copy however it ends. Gives the lock's
// descriptor, to keep; -1 with `another` set when another copy holds it, or
// with `another` clear when no lock can be made (the copy then acts alone).
int lockSway(bool& another);

// Lets go of the Wayland notes of `owed` on WAYLAND_DISPLAY and SWAYSOCK;
// notes of other systems are passed over.
void letGoOnWayland(const std::vector<GuardNote>& owed);

}  // namespace quindorel
