#pragma once

#include <string>
#include <string_view>

namespace quindorel {

// A title as the program shows it: UTF-8, cut at the first NUL, at most
// `maxCharacters` characters (never inside a character).
std::string clippedTitle(std::string_view utf8, std::size_t maxCharacters = 79);

}  // namespace quindorel
