#pragma once

#include <QPixmap>

namespace quindorel {

// The small pictures on the picture keys of the on-screen keyboard, drawn at
// run time so the program carries no image files.

// The four-colour window-flag logo of the two Windows keys, 22 x 19 pixels.
QPixmap windowFlagPicture();

// The blue menu-list icon of the menu (application) key, 18 x 18 pixels.
QPixmap menuListPicture();

}  // namespace quindorel
