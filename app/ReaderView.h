#pragma once

class QWidget;

namespace quindorel {

// What screen readers see of the window, through Qt's accessibility
// interface. Installed once, before the window is built; every view is made
// only when a reader first asks for it, so start-up pays nothing for them.
// - Keys: the name a person says ("Left Shift", "Keypad 7"), not the short
//   caption; checkable, and checked while marked.
// - Frames: a named group of their parts, without those hidden from readers.
void installReaderViews();

// Leaves a control out of its frame's parts for readers: one that is never
// shown, or a picture that only decorates. Qt lists hidden children too, and a
// reader would offer a button that cannot be used.
void hideFromScreenReaders(QWidget* control);

}  // namespace quindorel
