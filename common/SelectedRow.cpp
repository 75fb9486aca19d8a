#include "common/SelectedRow.h"

#include <QTreeWidget>

#include "common/RuntimeError.h"

namespace quindorel {

QTreeWidgetItem* selectedRow(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) {
        throw RuntimeError(RuntimeError::Code::ObjectVariableNotSet);
    }
    return selected.first();
}

}  // namespace quindorel
