#pragma once

#include <cstdint>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// The keys that press passes put down and no release pass has let go since,
// each once, in the order they first went down, with the window they went to
// and the very key each went down as: its key-up must lift that one, even if
// the keyboard layout has changed since.
class HeldKeys {
public:
    // Records the key-downs the desktop says it sent into `target`.
    void keep(const std::vector<KeyStroke>& downs, const KeySendResult& sent, WindowId target);
    // For a key-up of the key set: the key it lifts, if that key is held.
    void aimUp(KeyStroke& up) const;
    // Adds a key-up for each held key that `ups` leaves out (keys unmarked
    // since they went down), or they would stay down for good.
    void addMissingUps(std::vector<KeyStroke>& ups) const;
    // Every held key's key-up, modifiers last; the record is then empty.
    std::vector<KeyStroke> takeUps();
    void clear() { keys_.clear(); }

    bool empty() const { return keys_.empty(); }
    std::vector<std::uint8_t> virtualKeys() const;
    // The window the last press went to; 0 before any.
    WindowId window() const { return window_; }

private:
    struct Key {
        std::uint8_t virtualKey;
        SystemKey pressed;
    };
    const Key* find(std::uint8_t virtualKey) const;

    std::vector<Key> keys_;
    WindowId window_ = 0;
};

// A hand presses Shift, Ctrl, Alt and the Windows keys before the keys they
// change and lets them go after; each group keeps the key set's order.
void putModifiersFirst(std::vector<KeyStroke>& strokes);
void putModifiersLast(std::vector<KeyStroke>& strokes);

}  // namespace quindorel
