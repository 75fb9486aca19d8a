#include <QApplication>
#include <QScreen>

#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "platform/DesktopPlatform.h"

int main(int argc, char* argv[]) {
    // First of all: the guard is a fork on X11, which wants a single thread.
    quindorel::KeyGuard keyGuard = quindorel::startKeyGuard(argc, argv);
    quindorel::preferX11Platform();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quindorel"));
    QApplication::setOrganizationName(QStringLiteral("Marvenhal"));

    const auto platform = quindorel::createDesktopPlatform(std::move(keyGuard));
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
    // What cannot work here, then any question start-up has left: both wait for
    // the event loop, so they come over the painted window, one after the other.
    QMetaObject::invokeMethod(
        &window,
        [&window, &platform] {
            platform->showStartUpNotice();
            window.formShown();
        },
        Qt::QueuedConnection);
    return application.exec();
}
