#pragma once

#include <cstdlib>
#include <memory>

namespace quindorel {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// A reply, event or error of xcb, which the caller must free().
template <class T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

}  // namespace quindorel
