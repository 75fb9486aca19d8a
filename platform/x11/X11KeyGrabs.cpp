#include "platform/x11/X11KeyGrabs.h"

#include <iterator>
#include <string>

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/XcbErrors.h"

namespace quindorel {

namespace {

std::uint16_t xModifiers(std::uint8_t modifiers) {
    std::uint16_t mask = 0;
    mask |= (modifiers & HotKey::kCtrl) != 0 ? XCB_MOD_MASK_CONTROL : 0;
    mask |= (modifiers & HotKey::kShift) != 0 ? XCB_MOD_MASK_SHIFT : 0;
    mask |= (modifiers & HotKey::kAlt) != 0 ? XCB_MOD_MASK_1 : 0;
    mask |= (modifiers & HotKey::kWin) != 0 ? XCB_MOD_MASK_4 : 0;
    return mask;
}

std::size_t slot(KeyAction action) {
    return action == KeyAction::StopHold ? 0 : 1;
}

}  // namespace

bool X11KeyGrabs::take(KeyAction action, std::optional<HotKey> key) {
    std::optional<Grab>& held = grabs_[slot(action)];
    std::optional<Grab> wanted;
    if (key) {
        const std::optional<xcb_keycode_t> keycode =
            keyboard_.keycodeFor(keysymForVirtualKey(key->virtualKey));
        if (!keycode) {
            return false;  // no key of the layout types it
        }
        wanted = Grab{*keycode, xModifiers(key->modifiers)};
    }
    if (held && wanted && held->keycode == wanted->keycode &&
        held->modifiers == wanted->modifiers) {
        return true;
    }
    if (held) {
        ungrab(*held);
        held.reset();
    }
    if (!wanted) {
        return true;
    }
    // The other action's key: the grab is ours already, and one key does
    // one thing.
    for (const std::optional<Grab>& other : grabs_) {
        if (other && other->keycode == wanted->keycode && other->modifiers == wanted->modifiers) {
            return false;
        }
    }
    if (!grab(wanted->keycode, wanted->modifiers,
              action == KeyAction::StopHold ? "the stop key" : "the start/stop key")) {
        return false;
    }
    held = wanted;
    return true;
}

std::array<std::uint16_t, 4> X11KeyGrabs::lockCombinations() {
    const std::uint16_t numLock = keyboard_.numLockMask();
    ignoredLocks_ = static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock);
    return {0, XCB_MOD_MASK_LOCK, numLock, ignoredLocks_};
}

bool X11KeyGrabs::grab(xcb_keycode_t keycode, std::uint16_t modifiers, const char* what) {
    const std::array<std::uint16_t, 4> locks = lockCombinations();
    xcb_void_cookie_t cookies[locks.size()];
    for (std::size_t i = 0; i < locks.size(); ++i) {
        cookies[i] = xcb_grab_key_checked(connection_, 1, root_, modifiers | locks[i], keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    bool granted = true;
    const std::string grabbing =
        std::string("grabbing ") + what + " (keycode " + std::to_string(keycode) + ")";
    for (const xcb_void_cookie_t cookie : cookies) {
        // BadAccess: another client holds this combination.
        xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
        granted = granted && error == nullptr;
        errors_.report(error, LogLevel::Warning, grabbing);
    }
    if (!granted) {
        ungrab({keycode, modifiers});
    }
    return granted;
}

void X11KeyGrabs::ungrab(const Grab& grab) {
    for (const std::uint16_t lock : lockCombinations()) {
        errors_.expect(
            xcb_ungrab_key_checked(connection_, grab.keycode, root_, grab.modifiers | lock),
            LogLevel::Warning, "letting go of a key's grabs");
    }
    errors_.settle();
}

std::optional<KeyAction> X11KeyGrabs::actionOf(const void* nativeEvent) {
    const auto* event = static_cast<const xcb_generic_event_t*>(nativeEvent);
    const std::uint8_t type = event == nullptr ? 0 : event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return std::nullopt;
    }
    const auto* key = static_cast<const xcb_key_press_event_t*>(nativeEvent);
    std::optional<Grab>& stop = grabs_[slot(KeyAction::StopHold)];
    std::optional<Grab>& toggle = grabs_[slot(KeyAction::ToggleHold)];
    if (key->event != root_) {
        return std::nullopt;
    }
    // The start/stop key acts as it comes up: its press started an active
    // grab of the keyboard that lasts until then, so that its repeats and
    // its key-up come here, and a hold it starts sends its keys to the
    // window with the focus, not to us.
    if (type == XCB_KEY_RELEASE) {
        if (toggle && toggle->down && key->detail == toggle->keycode) {
            toggle->down = false;
            return KeyAction::ToggleHold;
        }
        return std::nullopt;
    }
    constexpr std::uint16_t kKeyModifiers = 0xFF;  // Shift, Lock, Control, Mod1..Mod5
    const std::uint16_t held = key->state & kKeyModifiers & ~ignoredLocks_;
    if (toggle && key->detail == toggle->keycode && (held == toggle->modifiers || toggle->down)) {
        toggle->down = true;  // a repeat changes nothing
        return std::nullopt;
    }
    if (stop && key->detail == stop->keycode && held == stop->modifiers) {
        // The press started an active grab of the whole keyboard that lasts
        // until the key comes up; end it now, or the key-ups the release
        // pass sends would come to us instead of the window with the focus.
        xcb_ungrab_keyboard(connection_, key->time);
        xcb_flush(connection_);
        return KeyAction::StopHold;
    }
    return std::nullopt;
}

}  // namespace quindorel
