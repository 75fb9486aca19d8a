#include <QApplication>
#include <QScreen>

#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "platform/DesktopPlatform.h"

#ifdef _WIN32
#include "platform/win32/Win32KeyGuard.h"
#endif

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // The key guard is this same program started with a private argument;
    // the program itself starts one before anything else.
    if (const auto status = quindorel::keyguard::runIfGuard(argc, argv)) {
        return *status;
    }
    quindorel::keyguard::start();
#endif
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quindorel"));
    QApplication::setOrganizationName(QStringLiteral("Marvenhal"));

    const auto platform = quindorel::createDesktopPlatform();
    quindorel::MainWindow window(*platform, QCoreApplication::applicationDirPath());
    // Asked to end: let go of held keys and end at once. Everything else was
    // saved when it changed, and a modal box must not keep the program alive.
    quindorel::TerminationSignals terminationSignals([&window, &platform] {
        window.releaseHeldKeys();
        platform->settings().flush();
        quindorel::TerminationSignals::endNow(0);
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
