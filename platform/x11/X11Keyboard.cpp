#include "platform/x11/X11Keyboard.h"

#include <X11/keysym.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11KeyLayout.h"
#include "platform/x11/XcbReply.h"

namespace quindorel {

X11Keyboard::X11Keyboard(XcbErrors& errors) : errors_(errors), connection_(errors.connection()) {
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection_, &xcb_test_id);
    available_ = xtest != nullptr && xtest->present;
}

std::optional<xcb_keycode_t> X11Keyboard::keycodeFor(std::uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto reply = xcbReply(errors_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count),
                          xcb_get_keyboard_mapping_reply, "reading the core keymap");
    const int per = reply ? reply->keysyms_per_keycode : 0;
    if (keysym == 0 || per == 0) {
        return std::nullopt;
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int rows = xcb_get_keyboard_mapping_keysyms_length(reply.get()) / per;
    // The lowest column wins: an unshifted key beats a shifted one.
    for (int column = 0; column < per; ++column) {
        for (int row = 0; row < rows; ++row) {
            if (keysyms[row * per + column] == keysym) {
                return static_cast<xcb_keycode_t>(setup->min_keycode + row);
            }
        }
    }
    return std::nullopt;
}

std::uint16_t X11Keyboard::numLockMask() {
    constexpr std::uint16_t kMod2 = XCB_MOD_MASK_2;
    const std::optional<xcb_keycode_t> numLock = keycodeFor(XK_Num_Lock);
    auto reply = xcbReply(errors_, xcb_get_modifier_mapping(connection_),
                          xcb_get_modifier_mapping_reply, "reading the modifier map");
    if (!numLock || !reply) {
        return kMod2;
    }
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (keycodes[modifier * perModifier + i] == *numLock) {
                return static_cast<std::uint16_t>(1u << modifier);
            }
        }
    }
    return kMod2;
}

void X11Keyboard::fakeInput(std::uint8_t type, std::uint8_t detail) {
    const char* what = type == XCB_KEY_PRESS      ? "pressing keycode "
                       : type == XCB_KEY_RELEASE  ? "letting go of keycode "
                       : type == XCB_BUTTON_PRESS ? "pressing button "
                                                  : "letting go of button ";
    errors_.expect(
        xcb_test_fake_input_checked(connection_, type, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0),
        LogLevel::Warning, what + std::to_string(detail));
}

namespace {

// The X button of a mouse button's virtual key; 0 for any other code.
std::uint8_t xButtonFor(std::uint8_t virtualKey) {
    switch (virtualKey) {
        case 1:
            return 1;  // left
        case 2:
            return 3;  // right
        case 4:
            return 2;  // middle
        case 5:
            return 8;  // back
        case 6:
            return 9;  // forward
        default:
            return 0;
    }
}

// Whether `keycode`'s bit is set among the 256 of a key bit mask.
bool isOn(const std::array<std::uint8_t, 32>& bits, xcb_keycode_t keycode) {
    return ((bits[keycode / 8] >> (keycode % 8)) & 1) != 0;
}

}  // namespace

void X11Keyboard::remap(xcb_keycode_t keycode, xcb_keysym_t keysym) {
    // The plain and the shifted level carry the keysym, so a Shift that
    // happens to be down does not change what the key means. The server
    // passes a core mapping change on to the XTEST keyboard too.
    const xcb_keysym_t row[] = {keysym, keysym};
    errors_.expect(
        xcb_change_keyboard_mapping_checked(connection_, 1, keycode, 2, row), LogLevel::Warning,
        (keysym == XCB_NO_SYMBOL ? "unmapping spare keycode " : "remapping spare keycode ") +
            std::to_string(keycode));
}

std::array<std::uint8_t, 32> X11Keyboard::repeatingKeys() {
    std::array<std::uint8_t, 32> bits{};
    auto reply = xcbReply(errors_, xcb_get_keyboard_control(connection_),
                          xcb_get_keyboard_control_reply, "reading the keys' auto-repeat");
    if (reply) {
        std::copy(std::begin(reply->auto_repeats), std::end(reply->auto_repeats), bits.begin());
    }
    return bits;
}

void X11Keyboard::setRepeat(xcb_keycode_t keycode, bool on) {
    const std::uint32_t values[] = {keycode,
                                    on ? XCB_AUTO_REPEAT_MODE_ON : XCB_AUTO_REPEAT_MODE_OFF};
    errors_.expect(xcb_change_keyboard_control_checked(
                       connection_, XCB_KB_KEY | XCB_KB_AUTO_REPEAT_MODE, values),
                   LogLevel::Warning,
                   std::string("turning auto-repeat ") + (on ? "on" : "off") + " for keycode " +
                       std::to_string(keycode));
}

KeySendResult X11Keyboard::send(const std::vector<KeyStroke>& strokes) {
    KeySendResult result;
    result.keys.resize(strokes.size());
    if (!available_ || strokes.empty()) {
        return result;
    }
    // First the keycodes, borrowing spare ones where the keymap lacks a keysym.
    std::vector<Event> events;
    std::optional<X11KeyLayout> layout;  // fetched once, when a stroke needs it
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const KeyStroke& stroke = strokes[i];
        if (const std::uint8_t button = xButtonFor(stroke.virtualKey); button != 0) {
            result.keys[i] = kButtonKeyBase + button;
            events.push_back({button, stroke.down, false, true});
            continue;
        }
        std::optional<xcb_keycode_t> keycode;
        if (!stroke.down && stroke.pressed && *stroke.pressed >= 8 && *stroke.pressed <= 255) {
            keycode = static_cast<xcb_keycode_t>(*stroke.pressed);
        } else {
            if (!layout) {
                if (xtestKeyboard_ == -2) {
                    xtestKeyboard_ = X11KeyLayout::xtestKeyboard(errors_);
                }
                layout = X11KeyLayout::fetch(errors_, xtestKeyboard_);
            }
            keycode = layout->keycodeFor(stroke.virtualKey);
            const std::uint32_t keysym = keysymForVirtualKey(stroke.virtualKey);
            if (!keycode && stroke.down && keysym != 0) {
                if ((keycode = layout->spare())) {
                    remap(*keycode, keysym);
                    layout->bind(*keycode, keysym);
                    borrowed_.insert(*keycode);
                }
            }
        }
        if (keycode) {
            result.keys[i] = *keycode;
            events.push_back({*keycode, stroke.down, isModifierKey(stroke.virtualKey)});
        }
    }

    // A key held by software must not auto-repeat (the server repeats XTEST
    // keys as it does real ones): its own repeat goes off while it is down.
    // The guard hears of every key-down before it happens.
    const bool anyNew = std::any_of(events.begin(), events.end(), [&](const Event& e) {
        return e.down && !e.button && !held_.contains(e.keycode);
    });
    const std::array<std::uint8_t, 32> repeating =
        anyNew ? repeatingKeys() : std::array<std::uint8_t, 32>{};
    std::vector<GuardNote> notes;
    for (const Event& event : events) {
        if (event.button) {
            notes.push_back({kButtonKeyBase + event.keycode, event.down});
        } else if (!event.down) {
            notes.push_back({event.keycode, false, false, event.modifier});
        } else if (const auto known = held_.find(event.keycode); known != held_.end()) {
            notes.push_back({event.keycode, true, known->second, event.modifier});
        } else {
            notes.push_back({event.keycode, true, isOn(repeating, event.keycode), event.modifier});
        }
    }
    guard_.sendTold(notes, [&] { putOut(events, repeating); });
    return result;
}

void X11Keyboard::putOut(const std::vector<Event>& events,
                         const std::array<std::uint8_t, 32>& repeating) {
    // Every auto-repeat change before the first key-down, so that the
    // key-downs reach the server back to back.
    const auto holdDown = [&](xcb_keycode_t keycode) {
        if (!held_.contains(keycode)) {
            const bool wasOn = isOn(repeating, keycode);
            held_.emplace(keycode, wasOn);
            if (wasOn) {
                setRepeat(keycode, false);
            }
        }
    };
    for (const Event& event : events) {
        if (event.down && !event.button) {
            holdDown(event.keycode);
        }
    }
    for (const Event& event : events) {
        if (event.button) {
            fakeInput(event.down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, event.keycode);
            continue;
        }
        if (event.down) {
            holdDown(event.keycode);  // pressed again after its key-up in this same batch
            fakeInput(XCB_KEY_PRESS, event.keycode);
            continue;
        }
        fakeInput(XCB_KEY_RELEASE, event.keycode);
        if (const auto known = held_.find(event.keycode); known != held_.end()) {
            if (known->second) {
                setRepeat(event.keycode, true);
            }
            held_.erase(known);
        }
        if (borrowed_.erase(event.keycode) > 0) {
            remap(event.keycode, XCB_NO_SYMBOL);
        }
    }
    // A round trip, not just a flush: the server has handled every event once
    // it answers, so none is lost if the program ends right after a pass.
    XcbPtr<xcb_get_input_focus_reply_t> done(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    errors_.settle();  // costs no further round trip now
}

}  // namespace quindorel
