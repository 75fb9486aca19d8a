#include "app/StartUp.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "app/AppIcon.h"
#include "app/CursorFile.h"
#include "app/FormControls.h"
#include "app/PointerRule.h"
#include "common/ErrorTrap.h"
#include "common/FileExists.h"
#include "common/ProgramFile.h"
#include "hold/HoldModel.h"
#include "platform/Platform.h"

namespace quindorel {

namespace {

void setColumnWidth(QTreeWidget* list, int column, int widthInTwips) {
    list->header()->setMinimumSectionSize(1);
    list->header()->setStretchLastSection(false);
    list->header()->resizeSection(column, std::max(1, twips(widthInTwips)));
}

}  // namespace

void StartUp::run() {
    Platform& platform = platform_;
    const FormControls& c = controls_;
    ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));

    // An optional skin file ("x/o.cjs" in the program's folder) belongs to a
    // skin engine this program does not carry: the designed look stays.
    const QString cursorPath = programFile(programFolder_, QLatin1String(kCursorFileName));
    if (trap.test(104, [&] { return fileExists(cursorPath); })) {
        trap.run(106, [&] { pointer_.setCustomCursor(loadCursorFile(cursorPath)); });
    }
    trap.run(130, [&] {
        window_.setWindowTitle(QLatin1String(kCaption));
        window_.setWindowIcon(appWindowIcon());
        platform.setApplicationTitle(QLatin1String(kApplicationTitle));
    });
    // The lists get their columns before the model fills them.
    trap.run(134, [&] { c.appList->setColumnCount(1); });
    trap.run(136, [&] {
        c.appList->setHeaderLabels(
            {QStringLiteral("Select One Application To Hold Into"), QStringLiteral("Handle")});
    });
    trap.run(138, [&] { setColumnWidth(c.appList, 0, 8500); });
    trap.run(140, [&] { setColumnWidth(c.appList, 1, 1); });
    trap.run(144, [&] { c.holdList->setHeaderLabels({QStringLiteral("Hold for...")}); });
    trap.run(146, [&] { setColumnWidth(c.holdList, 0, 8000); });

    model_.load(trap, static_cast<WindowId>(window_.winId()));
}

void StartUp::runShown() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.Form_Load"));
    model_.loadShown(trap);
}

}  // namespace quindorel
