#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// The rows of the application list and the selected one, as the window shows
// them; the window paints itself from this and writes the user's choice of
// row into it.
class TargetRows {
public:
    struct Row {
        QString title;
        WindowId handle = 0;
    };

    const std::vector<Row>& rows() const { return rows_; }
    int selected() const { return selected_; }  // -1 when no row is selected

    void setRows(std::vector<Row> rows, int selected) {
        rows_ = std::move(rows);
        selected_ = selected;
        notify(true);
    }
    void select(int row) {
        if (row != selected_) {
            selected_ = row;
            notify(false);
        }
    }

    // Each is called after each change; `rows` says whether the rows changed too.
    void addObserver(std::function<void(bool rows)> changed) {
        observers_.push_back(std::move(changed));
    }

private:
    void notify(bool rows) {
        for (const auto& changed : observers_) {
            changed(rows);
        }
    }

    std::vector<Row> rows_;
    int selected_ = -1;
    std::vector<std::function<void(bool)>> observers_;
};

}  // namespace quindorel
