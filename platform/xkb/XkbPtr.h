#pragma once

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace quindorel {

struct XkbFree {
    void operator()(xkb_context* p) const { xkb_context_unref(p); }
    void operator()(xkb_keymap* p) const { xkb_keymap_unref(p); }
    void operator()(xkb_state* p) const { xkb_state_unref(p); }
};
// An xkbcommon object that is unreferenced when it goes.
template <class T>
using XkbPtr = std::unique_ptr<T, XkbFree>;

}  // namespace quindorel
