#pragma once

#include <QString>
#include <QStringList>

namespace quindorel {

// What the program was asked to do on its command line. With no argument it
// shows its window (or the running copy's); the other verbs talk to the
// running copy.
struct CommandLine {
    enum class Action { Show, Start, Stop, Toggle, Status, Help, Version, Invalid };

    Action action = Action::Show;
    QString error;  // Invalid: what was wrong

    // The verb sent to the running copy; empty for Help, Version and Invalid.
    QByteArray verb() const;
};

// Exit statuses of a command; --status tells the states apart by them.
namespace exitcode {
constexpr int kDone = 0;  // also --status: idle
constexpr int kNotRunning = 1;
constexpr int kUsage = 2;
constexpr int kWaiting = 3;  // --status
constexpr int kHolding = 4;  // --status
constexpr int kRefused = 5;  // --start: nothing to hold, or nowhere to hold it
}  // namespace exitcode

// Reads the arguments after the program's name, in QCommandLineParser's
// conventions. At most one verb; no positional argument.
CommandLine parseCommandLine(const QStringList& arguments);
// The text of --help.
QString usageText();

}  // namespace quindorel
