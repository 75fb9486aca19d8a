#include <QApplication>
#include <QPixmapCache>
#include <QScreen>
#include <cstdio>
#include <optional>

#include "WindowMain.h"
#include "app/FirstFrame.h"
#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "command/CommandAnswers.h"
#include "command/CommandChannel.h"
#include "command/CommandLine.h"
#include "command/CommandLink.h"
#include "platform/DesktopPlatform.h"
#include "platform/QtSystemLog.h"

namespace {

using quindorel::CommandLine;

// How long the ordinary end may take after a termination signal: each
// desktop's answers are bounded at 2 s a call, and a session's end waits
// several seconds before it kills.
constexpr unsigned kEndBoundSeconds = 5;
namespace commandlink = quindorel::commandlink;
namespace exitcode = quindorel::command::exitcode;

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Help, version and mistakes on the command line: printed, and nothing else.
int answerAlone(const CommandLine& command, int argc, char* argv[]) {
    commandlink::attachParentConsole();
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

// A copy that runs already does what was asked (with no argument it comes to
// the front), and its answer is this command's: the exit status, or nothing
// when no copy answers.
std::optional<int> passToRunningCopy(const CommandLine& command) {
    bool reached = false;
    const auto reply =
        commandlink::ask(*command.request(), quindorel::qtSystemLog(),
                         quindorel::command::replyTimeoutMs(*command.verb()), &reached);
    if (!reply) {
        return reached ? std::optional<int>(commandlink::printNoAnswer()) : std::nullopt;
    }
    return command.action == CommandLine::Action::Show ? exitcode::kDone
                                                       : commandlink::printReply(*reply);
}

// Listens for commands. Started at the same moment as another copy, which
// won, this one passes its command on and ends: the exit status, or nothing
// when this copy goes on.
std::optional<int> openChannel(quindorel::CommandServer& server, const CommandLine& command) {
    switch (server.listen()) {
        case quindorel::CommandServer::Listen::OtherCopyRuns:
            return passToRunningCopy(command);
        case quindorel::CommandServer::Listen::Unavailable:
            std::fprintf(stderr, "quindorel: commands cannot reach this copy: %s\n",
                         qPrintable(server.errorText()));
            break;
        case quindorel::CommandServer::Listen::Listening:
            break;
    }
    return std::nullopt;
}

void showCentred(quindorel::MainWindow& window) {
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
}

// Once the window is painted: start-up's settings to the disk, what cannot
// work here, then any question start-up has left, one after the other over
// the window. Then the command that started the program and aims at the
// window in front (`inFront` is set for it alone), its answer printed.
void afterShown(quindorel::MainWindow& window, quindorel::DesktopPlatform& platform,
                quindorel::CommandAnswers& answers, const CommandLine& command,
                std::optional<quindorel::WindowId> inFront) {
    platform.settings().flush();  // what start-up changed, before any box waits for the user
    platform.showStartUpNotice();
    if (!platform.desktopNote().isEmpty()) {
        window.showNotice(platform.desktopNote());
    }
    window.formShown();
    if (inFront || command.action == CommandLine::Action::ToggleKey) {
        answers.answer(
            *command.request(),
            [](const QByteArray& line) {
                const auto reply = quindorel::command::readReply(line.toStdString());
                std::fprintf(stdout, "%s\n", reply.text.c_str());
                std::fflush(stdout);
            },
            [front = inFront.value_or(0)] { return front; });
    }
}

int runWindow(const CommandLine& command, int argc, char* argv[]) {
    // First of all: the guard is a fork on X11, which wants a single thread.
    quindorel::KeyGuard keyGuard = quindorel::startKeyGuard();
    quindorel::preferX11Platform();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quindorel"));
    QApplication::setOrganizationName(QStringLiteral("Marvenhal"));
    QApplication::setApplicationVersion(QStringLiteral(QUINDOREL_VERSION));
    // Qt's style keeps what it draws (button faces, frames) in a cache of up
    // to 10 MB. This window draws each again in well under a millisecond,
    // and the cache would hold a quarter of a megabyte from the first frame.
    QPixmapCache::setCacheLimit(0);

    const auto platform = quindorel::createDesktopPlatform(std::move(keyGuard));
    // Start-up's settings writes go out with its first frame (afterShown
    // flushes them), not ahead of it.
    platform->settings().holdWritesUntilFlush();
    // Started by --start or --toggle: the window in front before ours is the
    // one the user meant.
    std::optional<quindorel::WindowId> inFront;
    if (command.action == CommandLine::Action::Start ||
        command.action == CommandLine::Action::Toggle) {
        inFront = platform->desktop().activeWindow();
    }
    quindorel::MainWindow window(*platform, QCoreApplication::applicationDirPath());
    // Asked to end (a logout, a shutdown, kill, Ctrl+C): let go of held keys
    // first, then the ordinary end, which gives each desktop back what the
    // program took there (bindings, scripts, shortcuts, settings), leaving
    // every event loop, a modal box's too. A desktop that does not answer
    // must not keep the program alive: the end is bounded, and the key guard
    // takes back what a cut-short end leaves. Asked again, it ends at once.
    bool ending = false;
    quindorel::TerminationSignals terminationSignals([&window, &platform, &ending] {
        if (ending) {
            quindorel::TerminationSignals::endNow(0);
        }
        ending = true;
        window.releaseHeldKeys();
        platform->settings().flush();
        quindorel::TerminationSignals::endWithin(kEndBoundSeconds);
        QCoreApplication::exit(0);
        // Heard before the main event loop runs, which would start afresh.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });

    quindorel::CommandAnswers answers(
        window.model(), [&platform] { return platform->desktop().activeWindow(); },
        [&window] { window.bringToFront(); });
    answers.setDesktopNote(platform->desktopNote());
    quindorel::CommandServer server([&answers](const quindorel::command::Request& request,
                                               const quindorel::CommandServer::Reply& reply) {
        answers.answer(request, reply);
    });
    if (const auto status = openChannel(server, command)) {
        return *status;
    }
    platform->putBackWhatARunLeft();

    window.formLoad();
    showCentred(window);
    quindorel::whenFirstFrameShown(window, [&window, &platform, &answers, command, inFront] {
        afterShown(window, *platform, answers, command, inFront);
    });
    return application.exec();
}

}  // namespace

int quindorelWindowMain(int argc, char* argv[]) {
    // A copy started as the Windows key guard serves it and ends.
    quindorel::serveKeyGuardIfAsked(argc, argv);

    const CommandLine command = quindorel::parseCommandLine(argumentsOf(argc, argv));
    if (!command.verb()) {
        return answerAlone(command, argc, argv);
    }
    if (const auto status = passToRunningCopy(command)) {
        return *status;
    }
    if (command.action == CommandLine::Action::Stop ||
        command.action == CommandLine::Action::Status) {
        commandlink::attachParentConsole();
        std::fputs("Quindorel is not running.\n", stderr);
        return exitcode::kNotRunning;
    }
    return runWindow(command, argc, argv);
}
