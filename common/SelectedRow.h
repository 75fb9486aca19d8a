#pragma once

class QTreeWidget;
class QTreeWidgetItem;

namespace quindorel {

// The selected row of a list; throws the classic "Object variable not set"
// RuntimeError when no row is selected.
QTreeWidgetItem* selectedRow(const QTreeWidget* list);

}  // namespace quindorel
