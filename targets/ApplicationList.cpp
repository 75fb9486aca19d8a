#include "targets/ApplicationList.h"

#include <QTreeWidget>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/SelectedRow.h"
#include "platform/Platform.h"

namespace quindorel {

ApplicationList::ApplicationList(Platform& platform, QTreeWidget* list)
    : platform_(platform), list_(list) {}

bool ApplicationList::isBlankTitle(const QString& title) {
    for (const QChar c : title) {
        if (c != QLatin1Char(' ')) {
            return false;
        }
    }
    return true;
}

QString ApplicationList::listedTitle(const std::string& title) {
    QString text = QString::fromStdString(title);
    if (text.size() > kTitleLimit) {
        // Never cut a character that takes two UTF-16 units in half.
        const int cut = text.at(kTitleLimit - 1).isHighSurrogate() ? kTitleLimit - 1 : kTitleLimit;
        text.truncate(cut);
    }
    return text;
}

bool ApplicationList::isAppWindow(const TopLevelWindow& window, bool includeUntitled,
                                  bool includeInvisible, bool includeOwned) {
    if (!includeUntitled && isBlankTitle(listedTitle(window.title))) {
        return false;
    }
    if (!includeInvisible && !window.visible) {
        return false;
    }
    if (!includeOwned && window.owned) {
        return false;
    }
    return true;
}

void ApplicationList::getAllWindows() {
    ErrorTrap trap(platform_, QStringLiteral("mProcess.getAllWindows"));
    trap.run(100, [&] { list_->clear(); });
    std::vector<TopLevelWindow> windows;
    trap.run(102, [&] { windows = platform_.desktop().topLevelWindows(); });

    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(windows.size()));
    for (const TopLevelWindow& window : windows) {
        trap.reach(104);
        QString title;
        trap.run(108, [&] { title = listedTitle(window.title); });
        if (!isAppWindow(window, false, false, false)) {
            continue;  // 110
        }
        if (window.id == mainWindowHandle_) {
            continue;  // 112
        }
        if (isBlankTitle(title)) {
            continue;  // 114
        }
        trap.run(116, [&] {
            auto* row = new QTreeWidgetItem(QStringList{title, QString::number(window.id)});
            rows.append(row);
        });
    }
    trap.run(120, [&] {
        list_->addTopLevelItems(rows);
        if (!rows.isEmpty()) {
            list_->setCurrentItem(rows.first());
        }
    });
}

int ApplicationList::rowCount() const {
    return list_->topLevelItemCount();
}

WindowId ApplicationList::selectedHandle() const {
    return convert::toInteger32(selectedRow(list_)->text(1));
}

}  // namespace quindorel
