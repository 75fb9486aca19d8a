#include "platform/WindowTitle.h"

namespace quindorel {

std::string clippedTitle(std::string_view utf8, std::size_t maxCharacters) {
    utf8 = utf8.substr(0, utf8.find('\0'));
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == maxCharacters) {
            return std::string(utf8.substr(0, i));
        }
    }
    return std::string(utf8);
}

}  // namespace quindorel
