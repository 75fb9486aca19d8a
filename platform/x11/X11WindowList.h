#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/NativeDesktop.h"
#include "platform/WindowTitle.h"
#include "platform/x11/X11Display.h"

namespace quindorel {

// Every top-level client window with its title, visibility and owner, top of
// the stacking order first. The requests for all windows go out before the
// first reply is read, so the walk costs one round trip, not one per window.
// A window that vanishes during the walk is left out.
std::vector<TopLevelWindow> listTopLevelWindows(X11Display& display);

// ISO 8859-1 text (the STRING type of WM_NAME) as UTF-8.
std::string latin1ToUtf8(std::string_view latin1);

}  // namespace quindorel
