#include "hold/HeldKeys.h"

#include <algorithm>

namespace quindorel {

void putModifiersFirst(std::vector<KeyStroke>& strokes) {
    std::stable_partition(strokes.begin(), strokes.end(),
                          [](const KeyStroke& s) { return isModifierKey(s.virtualKey); });
}

void putModifiersLast(std::vector<KeyStroke>& strokes) {
    std::stable_partition(strokes.begin(), strokes.end(),
                          [](const KeyStroke& s) { return !isModifierKey(s.virtualKey); });
}

const HeldKeys::Key* HeldKeys::find(std::uint8_t virtualKey) const {
    const auto held = std::find_if(keys_.begin(), keys_.end(),
                                   [&](const Key& k) { return k.virtualKey == virtualKey; });
    return held == keys_.end() ? nullptr : &*held;
}

void HeldKeys::keep(const std::vector<KeyStroke>& downs, const KeySendResult& sent,
                    WindowId target) {
    for (std::size_t i = 0; i < downs.size() && i < sent.keys.size(); ++i) {
        if (sent.keys[i] && find(downs[i].virtualKey) == nullptr) {
            keys_.push_back({downs[i].virtualKey, *sent.keys[i]});
        }
    }
    window_ = target;
}

void HeldKeys::aimUp(KeyStroke& up) const {
    if (const Key* held = find(up.virtualKey)) {
        up.pressed = held->pressed;
    }
}

void HeldKeys::addMissingUps(std::vector<KeyStroke>& ups) const {
    for (const Key& held : keys_) {
        if (std::none_of(ups.begin(), ups.end(),
                         [&](const KeyStroke& s) { return s.virtualKey == held.virtualKey; })) {
            ups.push_back({held.virtualKey, false, held.pressed});
        }
    }
}

std::vector<KeyStroke> HeldKeys::takeUps() {
    std::vector<KeyStroke> ups;
    for (const Key& held : keys_) {
        ups.push_back({held.virtualKey, false, held.pressed});
    }
    keys_.clear();
    putModifiersLast(ups);
    return ups;
}

std::vector<std::uint8_t> HeldKeys::virtualKeys() const {
    std::vector<std::uint8_t> keys;
    for (const Key& held : keys_) {
        keys.push_back(held.virtualKey);
    }
    return keys;
}

}  // namespace quindorel
