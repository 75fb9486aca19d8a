#include <QApplication>
#include <QWidget>

#include "app/FormControls.h"
#include "platform/DesktopPlatform.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    auto platform = quindorel::createDesktopPlatform();
    QWidget form;
    quindorel::buildFormControls(&form);
    form.show();
    return application.exec();
}
