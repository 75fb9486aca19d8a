#pragma once

#include <QRect>
#include <array>

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

inline constexpr int kKeyCount = 104;

// The 104 keys in index order, which is also the order of the key-set file.
const std::array<KeyDefinition, kKeyCount>& keyTable();

// Twips to pixels at 96 dpi.
inline int twips(int value) {
    return (value + 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace quindorel
