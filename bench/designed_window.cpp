// The program's window as designed, captions and icon included, with nothing
// behind it: no platform, no settings, no model, no key guard. Beside the
// minimal window it shows what the design itself costs Qt; beside the
// program, what the program adds.
#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>
#include <QWidget>

#include "app/AppIcon.h"
#include "app/FormControls.h"
#include "hold/HoldModel.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    const quindorel::FormControls controls = quindorel::buildFormControls(&window);
    window.setWindowTitle(QStringLiteral("Designed window"));
    window.setWindowIcon(quindorel::appWindowIcon());
    controls.appList->setHeaderLabels(
        {QStringLiteral("Select One Application To Hold Into"), QStringLiteral("Handle")});
    controls.appList->header()->setMinimumSectionSize(1);
    controls.appList->header()->setStretchLastSection(false);
    controls.appList->header()->resizeSection(0, 567);
    controls.appList->header()->resizeSection(1, 1);
    controls.holdList->setHeaderLabels({QStringLiteral("Hold for...")});
    controls.holdList->header()->resizeSection(0, 533);
    for (const QString& row : quindorel::HoldModel::holdRowCaptions()) {
        new QTreeWidgetItem(controls.holdList, {row});
    }
    controls.holdList->setCurrentItem(controls.holdList->topLevelItem(1));
    window.show();
    return application.exec();
}
