#pragma once

#include <QPalette>

namespace quindorel {

// Every colour the window's controls show, as designed: white grounds and faces,
// black text, the classic grey edges, blue selection, grey disabled text. Set
// on the window, so a dark system scheme changes nothing of the designed look.
// Every role of every group is set, so nothing falls back to the system's.
QPalette designPalette();

}  // namespace quindorel
