#pragma once

// The windowing system as the program needs it: top-level windows, their
// placement, synthetic key events and the stop hot key. Plain C++ without Qt,
// so that each back end (X11, Win32) can be built and tested on its own.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quindorel {

// A native window handle as the program stores it: 32 bits, signed.
using WindowId = std::int32_t;

// What a Wayland compositor says a window of its list is: one of its own
// clients, or a window of its Xwayland; Unknown where it does not say.
enum class WindowKind : std::uint8_t { Unknown, Native, Xwayland };

struct TopLevelWindow {
    WindowId id = 0;
    std::string title;  // as cutTitle (WindowTitle.h) cuts it: UTF-8, at most 79 UTF-16 units
    bool visible = false;
    bool owned = false;
    // On a compositor's list: what the window is, and an Xwayland window's
    // X11 id where the compositor tells it (else 0).
    WindowKind kind = WindowKind::Unknown;
    WindowId x11Window = 0;
};

// Stands for whichever window has the keyboard when the keys go down, on a
// desktop that tells a program neither its windows nor which is in front
// (GNOME's native windows): listed as a window of its own, so that a hold
// can be aimed at it. No desktop gives a window this id.
constexpr WindowId kWindowInFront = INT32_MIN;

// A key as the system pressed it, in the back end's own terms: an X keycode;
// on Windows the virtual key, its scan code and the extended-key flag. A
// held key's key-up is sent as exactly this, so that it reaches the key that
// went down even when the keyboard layout has changed since.
using SystemKey = std::uint32_t;

// One synthetic key event, by Windows virtual-key code.
struct KeyStroke {
    std::uint8_t virtualKey = 0;
    bool down = true;
    // On a key-up: the key that went down for it, sent as it is. Without it
    // the virtual key is looked up in the layout of the moment.
    std::optional<SystemKey> pressed = std::nullopt;
    bool operator==(const KeyStroke&) const = default;
};

// What the system made of a sendKeys call.
enum class KeySendOutcome {
    Sent,     // every event entered the input stream (or there was none to send)
    Refused,  // the system took fewer events than were sent (e.g. an elevated target)
    Denied,   // the user or the desktop did not let the program send keys: nothing was sent
    Asking,   // the desktop asks the user first (a dialog of its own): nothing was sent
};

struct KeySendResult {
    KeySendOutcome outcome = KeySendOutcome::Sent;
    // One for each stroke, in order: the key it was sent as, or nothing when
    // the code has no key on this system.
    std::vector<std::optional<SystemKey>> keys;
    // Denied: why, in a user's words, as one line.
    std::string why;
};

// The mouse buttons, held like keys and named by their Windows virtual-key
// codes: left 1, right 2, middle 4, back 5, forward 6. A button acts on the
// window under the pointer.
constexpr bool isMouseButton(std::uint8_t virtualKey) {
    return virtualKey == 1 || virtualKey == 2 || (virtualKey >= 4 && virtualKey <= 6);
}

// Shift, Ctrl, Alt and the Windows keys, either side or generic: a hand
// presses them before the keys they change and lets them go after.
constexpr bool isModifierKey(std::uint8_t virtualKey) {
    return (virtualKey >= 16 && virtualKey <= 18) || virtualKey == 91 || virtualKey == 92 ||
           (virtualKey >= 160 && virtualKey <= 165);
}

// What a key pressed in any window does: Ctrl+Shift+S stops the hold; the
// user's own key, where one is chosen, starts or stops it.
enum class KeyAction : std::uint8_t { StopHold, ToggleHold };

// A key and the modifiers that go with it: a Windows virtual-key code, and
// Ctrl, Shift, Alt and the Windows key as bits.
struct HotKey {
    static constexpr std::uint8_t kCtrl = 1, kShift = 2, kAlt = 4, kWin = 8;
    std::uint8_t virtualKey = 0;
    std::uint8_t modifiers = 0;
    bool operator==(const HotKey&) const = default;
};
inline constexpr HotKey kStopHotKey{83, HotKey::kCtrl | HotKey::kShift};

class NativeDesktop {
public:
    virtual ~NativeDesktop() = default;

    // Every top-level window, top of the stacking order first. A window that
    // vanishes during the walk is left out; the walk itself never fails.
    virtual std::vector<TopLevelWindow> topLevelWindows() = 0;

    // Raises the window into the above-others band without moving it.
    virtual void makeTopMost(WindowId window) = 0;
    // Returns the window to the normal band and moves its top-left corner to
    // (0, 0), keeping its size.
    virtual void releaseTopMost(WindowId window) = 0;
    // Shows (restores, activates) the window; a dead window is ignored.
    virtual void showWindow(WindowId window) = 0;

    // Sends the events back to back, in order, into the system's input
    // stream; the mouse buttons' codes press and let go of those buttons
    // where the pointer is. Codes without a key on this system are skipped.
    // Refused when the system says it dropped some of them.
    virtual KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) = 0;

    // Readies the pointer for mouse buttons meant for `window`: left where it
    // is when it is over the window already (a user aiming keeps the aim),
    // else moved to the middle of the window's part on screen. Whether the
    // pointer is now over the window and not over one of this program's.
    virtual bool pointerInto(WindowId window) = 0;

    // Whether a window of this program has the keyboard, so that keys sent
    // now would land in it.
    virtual bool ownWindowHasKeyboard() = 0;
    // The listed top-level window that has the keyboard now, or 0 when none
    // has it or it is one of this program's own.
    virtual WindowId activeWindow() = 0;

    // Sets up `key` for `action`, system-wide, delivered to the program's
    // window `owner`, in place of the key the action had; nothing: the
    // action's key is let go. False when the key cannot be had (another
    // program owns the combination); the action then has none. Setting the
    // same key up again keeps it. Desktops with shortcuts of their own take
    // Ctrl+Shift+S there too.
    virtual bool setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) = 0;
    // The action a native event delivered to the program
    // (xcb_generic_event_t*, MSG*) is a press of; a repeat of a key still
    // held down is none. Where the back end can tell, the user's start/stop
    // key acts as it comes up (X11), so that a hold it starts finds the
    // keyboard free of it.
    virtual std::optional<KeyAction> keyActionOf(const void* nativeEvent) = 0;
    bool setUpStopKey(WindowId owner) { return setUpKey(KeyAction::StopHold, kStopHotKey, owner); }
    // Where a desktop with shortcuts of its own lets the user give "Start or
    // stop the hold" its key (KDE's System Settings), in its words; empty
    // where the key chosen in the program is the one.
    virtual std::string toggleKeyPlace() { return {}; }
    // Whether the key chosen in the program works whatever window is in
    // front (not where the program hears keys through Xwayland alone).
    virtual bool toggleKeyEverywhere() { return true; }
    bool isStopKeyPress(const void* nativeEvent) {
        return keyActionOf(nativeEvent) == KeyAction::StopHold;
    }

    // Whether a window is on its way to the front (an act the desktop has
    // not carried out yet): who has the keyboard is not known until it is
    // there, and key-downs meanwhile answer Asking.
    virtual bool bringingForward() { return false; }

    // Withdraws the question a dialog of the desktop asks after a key-down
    // answered Asking: the dialog closes, and nothing of the keys
    // that asked is sent.
    virtual void withdrawPermissionRequest() {}
    // `answered` runs, from the event loop, each time such a question is
    // settled: the keys may be sent again then (Denied, once, after a no:
    // `granted` false).
    virtual void onPermissionAnswered(std::function<void(bool granted)> /*answered*/) {}
};

}  // namespace quindorel
