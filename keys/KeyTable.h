#pragma once

#include <QRect>
#include <array>
#include <span>

namespace quindorel {

// One key of the on-screen keyboard: caption, Windows virtual-key code and
// place inside the keyboard frame, in twips (15 twips = 1 pixel at 96 dpi).
struct KeyDefinition {
    const char* caption;  // UTF-8; empty for the space bar and picture keys
    int code;
    int left, top, width, height;
    const char* toolTip;  // not empty exactly on the picture keys
    // The key's name as a person says it, for screen readers: the captions
    // are abbreviations, and some are empty or shared by two keys.
    const char* spokenName;
};

// The 104 keys of a PC keyboard, then the five mouse buttons (left, middle,
// right, back, forward), which are marked, saved and held as keys are.
inline constexpr int kKeyboardKeyCount = 104;
inline constexpr int kKeyCount = kKeyboardKeyCount + 5;
// Indexes of the keys that show a picture instead of a caption.
inline constexpr int kLeftWindowsKey = 73;
inline constexpr int kRightWindowsKey = 74;
inline constexpr int kMenuKey = 75;

// The keys in index order, which is also the order of the key-set file.
const std::array<KeyDefinition, kKeyCount>& keyTable();
// The keyboard's keys alone, without the mouse buttons.
inline std::span<const KeyDefinition> keyboardKeys() {
    return std::span(keyTable()).first(kKeyboardKeyCount);
}

// Twips to pixels at 96 dpi.
inline int twips(int value) {
    return (value + 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace quindorel
