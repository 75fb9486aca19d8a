#pragma once

#include <functional>

class QWidget;

namespace quindorel {

// Calls `then` once, after the window's first frame is on screen: start-up
// boxes then come over a painted window, and the work they wait on no longer
// holds back the first paint. A window the desktop does not show at once
// (started minimised, say) gets its call after a while all the same.
void whenFirstFrameShown(QWidget& window, std::function<void()> then);

}  // namespace quindorel
