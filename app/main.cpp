#include <QApplication>
#include <QScreen>

#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "platform/DesktopPlatform.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quindorel"));
    QApplication::setOrganizationName(QStringLiteral("Marvenhal"));

    const auto platform = quindorel::createDesktopPlatform();
    quindorel::MainWindow window(*platform, QCoreApplication::applicationDirPath());
    quindorel::TerminationSignals terminationSignals([&window] {
        window.releaseHeldKeys();
        QCoreApplication::quit();
    });

    window.formLoad();
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return application.exec();
}
