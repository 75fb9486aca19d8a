#include "platform/WindowTitle.h"

namespace quindorel {

namespace {

// The length of the UTF-8 character that `text` starts with, or 0 when it
// starts with no well-formed one.
std::size_t characterLength(std::string_view text) {
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    // The second byte's range keeps out overlong forms, surrogates and code
    // points above U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string cutTitle(std::string_view utf8, std::size_t maxUnits) {
    utf8 = utf8.substr(0, utf8.find('\0'));
    std::string title;
    std::size_t units = 0;
    while (!utf8.empty()) {
        const std::size_t length = characterLength(utf8);
        const std::size_t unitsOfIt = length == 4 ? 2 : 1;
        if (units + unitsOfIt > maxUnits) {
            break;
        }
        units += unitsOfIt;
        title += length == 0 ? std::string_view("\xEF\xBF\xBD") : utf8.substr(0, length);
        utf8.remove_prefix(length == 0 ? 1 : length);
    }
    return title;
}

}  // namespace quindorel
