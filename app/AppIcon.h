#pragma once

#include <QIcon>

namespace quindorel {

// The program's icon: a single keyboard key seen slightly from above, held
// down by a green mark. Drawn at run time at every usual icon size.
QIcon appIcon();

// The same icon for the window: the sizes window managers draw (title bars,
// task bars, switchers), up to 128 pixels; the installed icon files carry
// the larger ones.
QIcon appWindowIcon();

}  // namespace quindorel
