#include "targets/TargetFinder.h"

#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "platform/Platform.h"

namespace quindorel {

TargetFinder::TargetFinder(Platform& platform, TargetRows& rows)
    : platform_(platform), rows_(rows) {}

bool TargetFinder::isBlankTitle(const QString& title) {
    for (const QChar c : title) {
        if (c != QLatin1Char(' ')) {
            return false;
        }
    }
    return true;
}

QString TargetFinder::listedTitle(const std::string& title) {
    // The desktop has cut it to what the list shows already.
    return QString::fromStdString(title);
}

bool TargetFinder::isAppWindow(const TopLevelWindow& window) {
    return !isBlankTitle(listedTitle(window.title)) && window.visible && !window.owned;
}

void TargetFinder::getAllWindows() {
    ErrorTrap trap(platform_, QStringLiteral("mProcess.getAllWindows"));
    trap.run(100, [&] { rows_.setRows({}, -1); });
    std::vector<TopLevelWindow> windows;
    trap.run(102, [&] { windows = platform_.desktop().topLevelWindows(); });

    std::vector<TargetRows::Row> rows;
    rows.reserve(windows.size());
    for (const TopLevelWindow& window : windows) {
        trap.reach(104);
        QString title;
        trap.run(108, [&] { title = listedTitle(window.title); });
        if (!isAppWindow(window)) {
            continue;  // 110
        }
        if (window.id == mainWindowHandle_) {
            continue;  // 112
        }
        if (isBlankTitle(title)) {
            continue;  // 114
        }
        trap.run(116, [&] { rows.push_back({title, window.id}); });
    }
    trap.run(120, [&] {
        const int selected = rows.empty() ? -1 : 0;
        rows_.setRows(std::move(rows), selected);
    });
}

bool TargetFinder::isOpen(WindowId window) const {
    if (window == 0 || window == mainWindowHandle_) {
        return false;
    }
    for (const TopLevelWindow& listed : platform_.desktop().topLevelWindows()) {
        if (listed.id == window) {
            return isAppWindow(listed);
        }
    }
    return false;
}

int TargetFinder::rowCount() const {
    return static_cast<int>(rows_.rows().size());
}

WindowId TargetFinder::selectedHandle() const {
    if (rows_.selected() < 0 || rows_.selected() >= rowCount()) {
        throw RuntimeError(RuntimeError::Code::ObjectVariableNotSet);
    }
    return rows_.rows()[static_cast<std::size_t>(rows_.selected())].handle;
}

QString TargetFinder::titleOf(WindowId window) const {
    for (const TargetRows::Row& row : rows_.rows()) {
        if (row.handle == window) {
            return row.title;
        }
    }
    return {};
}

}  // namespace quindorel
