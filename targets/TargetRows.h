#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// The rows of the application list and the selected one, as the window shows
// them; the window paints itself from this and writes the user's choice of
// row into it.
class TargetRows : public QObject {
    Q_OBJECT
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
        emit changed(true);
    }
    void select(int row) {
        if (row != selected_) {
            selected_ = row;
            emit changed(false);
        }
    }

signals:
    // After each change; `rows` says whether the rows changed too.
    void changed(bool rows);

private:
    std::vector<Row> rows_;
    int selected_ = -1;
};

}  // namespace quindorel
