#pragma once

// A window's title as the program lists it: cut to what the application
// list shows, the same on every system. Plain C++, used by every back end.

#include <cstddef>
#include <string>
#include <string_view>

namespace quindorel {

// The most a listed title holds, in UTF-16 units, as Windows reads it.
inline constexpr std::size_t kTitleUnits = 79;

// The title up to its first NUL, cut to at most `maxUnits` UTF-16 units
// without cutting a character in two (one of four UTF-8 bytes takes two).
// Bytes that are no UTF-8 become U+FFFD each, so the result is UTF-8.
std::string cutTitle(std::string_view utf8, std::size_t maxUnits = kTitleUnits);

}  // namespace quindorel
