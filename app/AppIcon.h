#pragma once

#include <QIcon>

namespace quindorel {

// The program's icon: a single keyboard key seen slightly from above, held
// down by a green mark. Drawn at run time at every usual icon size.
QIcon appIcon();

}  // namespace quindorel
