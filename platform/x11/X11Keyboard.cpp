#include "platform/x11/X11Keyboard.h"

#include <X11/keysym.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <iterator>

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/XcbReply.h"

namespace quindorel {

// A snapshot of the server's keycode -> keysyms table.
class X11Keyboard::Keymap {
public:
    Keymap(xcb_keycode_t minKeycode, int perKeycode, std::vector<xcb_keysym_t> keysyms)
        : min_(minKeycode), per_(perKeycode), keysyms_(std::move(keysyms)) {}

    // The lowest column wins, so that an unshifted key beats a shifted one
    // (the "<" of the 102nd key, not Shift+comma).
    std::optional<xcb_keycode_t> find(xcb_keysym_t keysym) const {
        if (keysym == 0 || per_ == 0) {
            return std::nullopt;
        }
        for (int column = 0; column < per_; ++column) {
            for (std::size_t row = 0; row * per_ < keysyms_.size(); ++row) {
                if (keysyms_[row * per_ + column] == keysym) {
                    return static_cast<xcb_keycode_t>(min_ + row);
                }
            }
        }
        return std::nullopt;
    }

    // A keycode with no keysym at all, searched from the top where keymaps
    // leave most room.
    std::optional<xcb_keycode_t> spare() const {
        for (std::size_t row = per_ == 0 ? 0 : keysyms_.size() / per_; row-- > 0;) {
            bool empty = true;
            for (int column = 0; column < per_ && empty; ++column) {
                empty = keysyms_[row * per_ + column] == XCB_NO_SYMBOL;
            }
            if (empty) {
                return static_cast<xcb_keycode_t>(min_ + row);
            }
        }
        return std::nullopt;
    }

    // The row of keysyms that binds `keysym` to a keycode (NoSymbol clears
    // it), kept in the snapshot too so that later strokes of the same pass
    // see it. The plain and the shifted level carry the keysym, so a Shift
    // that happens to be down does not change what the key means.
    std::vector<xcb_keysym_t> assign(xcb_keycode_t keycode, xcb_keysym_t keysym) {
        std::vector<xcb_keysym_t> row(per_, XCB_NO_SYMBOL);
        for (int column = 0; column < per_ && column < 2; ++column) {
            row[column] = keysym;
        }
        std::copy(row.begin(), row.end(), keysyms_.begin() + (keycode - min_) * per_);
        return row;
    }

private:
    xcb_keycode_t min_;
    int per_;
    std::vector<xcb_keysym_t> keysyms_;
};

X11Keyboard::X11Keyboard(xcb_connection_t* connection) : connection_(connection) {
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection, &xcb_test_id);
    available_ = xtest != nullptr && xtest->present;
}

X11Keyboard::Keymap X11Keyboard::fetchKeymap() {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto reply =
        xcbReply(connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count),
                 xcb_get_keyboard_mapping_reply);
    if (!reply) {
        return Keymap(setup->min_keycode, 0, {});
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    return Keymap(setup->min_keycode, reply->keysyms_per_keycode,
                  std::vector<xcb_keysym_t>(keysyms, keysyms + length));
}

std::optional<xcb_keycode_t> X11Keyboard::keycodeFor(std::uint32_t keysym) {
    return fetchKeymap().find(keysym);
}

std::uint16_t X11Keyboard::numLockMask() {
    constexpr std::uint16_t kMod2 = XCB_MOD_MASK_2;
    const std::optional<xcb_keycode_t> numLock = keycodeFor(XK_Num_Lock);
    auto reply = xcbReply(connection_, xcb_get_modifier_mapping(connection_),
                          xcb_get_modifier_mapping_reply);
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

void X11Keyboard::fakeKey(xcb_keycode_t keycode, bool down) {
    ignoreErrors(connection_,
                 xcb_test_fake_input_checked(connection_, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE,
                                             keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0));
}

void X11Keyboard::remap(Keymap& keymap, xcb_keycode_t keycode, xcb_keysym_t keysym) {
    const std::vector<xcb_keysym_t> row = keymap.assign(keycode, keysym);
    ignoreErrors(connection_,
                 xcb_change_keyboard_mapping_checked(
                     connection_, 1, keycode, static_cast<std::uint8_t>(row.size()), row.data()));
}

std::array<std::uint8_t, 32> X11Keyboard::repeatingKeys() {
    std::array<std::uint8_t, 32> bits{};
    auto reply = xcbReply(connection_, xcb_get_keyboard_control(connection_),
                          xcb_get_keyboard_control_reply);
    if (reply) {
        std::copy(std::begin(reply->auto_repeats), std::end(reply->auto_repeats), bits.begin());
    }
    return bits;
}

void X11Keyboard::setRepeat(xcb_keycode_t keycode, bool on) {
    const std::uint32_t values[] = {keycode,
                                    on ? XCB_AUTO_REPEAT_MODE_ON : XCB_AUTO_REPEAT_MODE_OFF};
    ignoreErrors(connection_, xcb_change_keyboard_control_checked(
                                  connection_, XCB_KB_KEY | XCB_KB_AUTO_REPEAT_MODE, values));
}

void X11Keyboard::send(const std::vector<KeyStroke>& strokes) {
    if (!available_ || strokes.empty()) {
        return;
    }
    // First the keycodes, borrowing spare ones where the keymap lacks a keysym.
    struct Event {
        xcb_keycode_t keycode;
        bool down;
        bool giveBack;  // a borrowed keycode, unbound after its key-up
    };
    std::vector<Event> events;
    Keymap keymap = fetchKeymap();
    for (const KeyStroke& stroke : strokes) {
        const std::uint32_t keysym = keysymForVirtualKey(stroke.virtualKey);
        if (keysym == 0) {
            continue;  // no key on X for this code
        }
        if (auto borrowed = borrowed_.find(keysym); borrowed != borrowed_.end()) {
            events.push_back({borrowed->second, stroke.down, !stroke.down});
            if (!stroke.down) {
                borrowed_.erase(borrowed);
            }
        } else if (const std::optional<xcb_keycode_t> keycode = keymap.find(keysym)) {
            events.push_back({*keycode, stroke.down, false});
        } else if (stroke.down) {
            if (const std::optional<xcb_keycode_t> spare = keymap.spare()) {
                remap(keymap, *spare, keysym);
                borrowed_.emplace(keysym, *spare);
                events.push_back({*spare, true, false});
            }
        }  // else: none of our keys is down for it
    }

    // A key held by software must not auto-repeat (the server repeats XTEST
    // keys as it does real ones): its own repeat goes off while it is down.
    // The guard hears of every key-down before it happens.
    const bool anyNew = std::any_of(events.begin(), events.end(), [&](const Event& e) {
        return e.down && !held_.contains(e.keycode);
    });
    const std::array<std::uint8_t, 32> repeating =
        anyNew ? repeatingKeys() : std::array<std::uint8_t, 32>{};
    const auto repeats = [&repeating](xcb_keycode_t keycode) {
        return ((repeating[keycode / 8] >> (keycode % 8)) & 1) != 0;
    };
    std::vector<GuardedKey> downs;
    std::vector<GuardedKey> ups;
    for (const Event& event : events) {
        if (!event.down) {
            ups.push_back({event.keycode, false, false});
        } else if (const auto known = held_.find(event.keycode); known != held_.end()) {
            downs.push_back({event.keycode, true, known->second});
        } else {
            downs.push_back({event.keycode, true, repeats(event.keycode)});
        }
    }
    guard_.tell(downs);

    for (const Event& event : events) {
        if (event.down) {
            if (!held_.contains(event.keycode)) {
                const bool wasOn = repeats(event.keycode);
                held_.emplace(event.keycode, wasOn);
                if (wasOn) {
                    setRepeat(event.keycode, false);
                }
            }
            fakeKey(event.keycode, true);
            continue;
        }
        fakeKey(event.keycode, false);
        if (const auto known = held_.find(event.keycode); known != held_.end()) {
            if (known->second) {
                setRepeat(event.keycode, true);
            }
            held_.erase(known);
        }
        if (event.giveBack) {
            remap(keymap, event.keycode, XCB_NO_SYMBOL);
        }
    }
    // A round trip, not just a flush: the server has handled every event once
    // it answers, so none is lost if the program ends right after a pass.
    XcbPtr<xcb_get_input_focus_reply_t> done(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    guard_.tell(ups);
}

}  // namespace quindorel
