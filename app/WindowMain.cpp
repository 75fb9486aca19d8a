#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <string>

#include "WindowMain.h"
#include "app/CommandAnswers.h"
#include "app/CommandChannel.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "platform/CommandLink.h"
#include "platform/DesktopPlatform.h"
#include "platform/QtSystemLog.h"

namespace {

using quindorel::CommandLine;
namespace exitcode = quindorel::exitcode;

// Help, version and mistakes on the command line: printed, and nothing else.
int answerAlone(const CommandLine& command, int argc, char* argv[]) {
    quindorel::commandlink::attachParentConsole();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINDOREL_VERSION));
    switch (command.action) {
        case CommandLine::Action::Help:
            std::fputs(qPrintable(quindorel::usageText()), stdout);
            return exitcode::kDone;
        case CommandLine::Action::Version:
            std::printf("quindorel %s\n", QUINDOREL_VERSION);
            return exitcode::kDone;
        default:
            std::fprintf(stderr, "quindorel: %s\n\n%s", qPrintable(command.error),
                         qPrintable(quindorel::usageText()));
            return exitcode::kUsage;
    }
}

// The running copy's answer, printed as the command's own.
int printReply(const std::string& line) {
    const QByteArray reply = QByteArray::fromStdString(line);
    quindorel::commandlink::attachParentConsole();
    bool ok = false;
    const int status = reply.left(reply.indexOf(' ')).toInt(&ok);
    const QByteArray text = reply.mid(reply.indexOf(' ') + 1);
    const bool failed = !ok || status == exitcode::kRefused || status == exitcode::kUsage;
    std::fprintf(failed ? stderr : stdout, "%s\n", text.constData());
    return ok ? status : exitcode::kRefused;
}

}  // namespace

int quindorelWindowMain(int argc, char* argv[]) {
    // A copy started as the Windows key guard serves it and ends.
    quindorel::serveKeyGuardIfAsked(argc, argv);

    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLine command = quindorel::parseCommandLine(arguments);
    if (command.verb().isEmpty()) {
        return answerAlone(command, argc, argv);
    }
    // A copy runs already: it does what was asked (with no argument it comes
    // to the front), and this one ends without a window.
    if (const auto reply =
            quindorel::commandlink::ask(command.verb().toStdString(), quindorel::qtSystemLog())) {
        return command.action == CommandLine::Action::Show ? exitcode::kDone : printReply(*reply);
    }
    if (command.action == CommandLine::Action::Stop ||
        command.action == CommandLine::Action::Status) {
        quindorel::commandlink::attachParentConsole();
        std::fputs("Quindorel is not running.\n", stderr);
        return exitcode::kNotRunning;
    }

    // First of all: the guard is a fork on X11, which wants a single thread.
    quindorel::KeyGuard keyGuard = quindorel::startKeyGuard(argc, argv);
    quindorel::preferX11Platform();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quindorel"));
    QApplication::setOrganizationName(QStringLiteral("Marvenhal"));
    QApplication::setApplicationVersion(QStringLiteral(QUINDOREL_VERSION));

    const auto platform = quindorel::createDesktopPlatform(std::move(keyGuard));
    // Started by --start or --toggle: the window in front before ours is the
    // one the user meant.
    const quindorel::WindowId inFront = platform->desktop().activeWindow();
    quindorel::MainWindow window(*platform, QCoreApplication::applicationDirPath());
    // Asked to end: let go of held keys and end at once. Everything else was
    // saved when it changed, and a modal box must not keep the program alive.
    quindorel::TerminationSignals terminationSignals([&window, &platform] {
        window.releaseHeldKeys();
        platform->settings().flush();
        quindorel::TerminationSignals::endNow(0);
    });

    quindorel::CommandAnswers answers(
        window.model(), [&platform] { return platform->desktop().activeWindow(); },
        [&window] { window.bringToFront(); });
    quindorel::CommandServer server(
        [&answers](const QByteArray& verb) { return answers.answer(verb); });
    switch (server.listen()) {
        case quindorel::CommandServer::Listen::OtherCopyRuns:
            // Started at the same moment as another copy, which won.
            if (const auto reply = quindorel::commandlink::ask(command.verb().toStdString(),
                                                               quindorel::qtSystemLog())) {
                return command.action == CommandLine::Action::Show ? exitcode::kDone
                                                                   : printReply(*reply);
            }
            break;
        case quindorel::CommandServer::Listen::Unavailable:
            std::fprintf(stderr, "quindorel: commands cannot reach this copy: %s\n",
                         qPrintable(server.errorText()));
            break;
        case quindorel::CommandServer::Listen::Listening:
            break;
    }

    window.formLoad();
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    // What cannot work here, then any question start-up has left: both wait for
    // the event loop, so they come over the painted window, one after the other.
    // Then the command that started the program.
    QMetaObject::invokeMethod(
        &window,
        [&window, &platform, command, inFront] {
            platform->showStartUpNotice();
            window.formShown();
            if (command.action == CommandLine::Action::Start ||
                command.action == CommandLine::Action::Toggle) {
                quindorel::CommandAnswers first(
                    window.model(), [inFront] { return inFront; }, [] {});
                const QByteArray reply = first.answer(command.verb());
                std::fprintf(stdout, "%s\n", reply.mid(reply.indexOf(' ') + 1).constData());
            }
        },
        Qt::QueuedConnection);
    return application.exec();
}
