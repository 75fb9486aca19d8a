#pragma once

class QWidget;

namespace quindorel {

// Leaves a control that is never shown out of what screen readers see: the
// frame it lies in no longer lists it among its parts. Qt lists hidden
// children too, and a reader would offer a button that cannot be used.
void hideFromScreenReaders(QWidget* control);

}  // namespace quindorel
