#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "command/CommandWords.h"

namespace quindorel {

// What the program was asked to do on its command line. With no argument it
// shows its window (or the running copy's); the other verbs talk to the
// running copy.
struct CommandLine {
    enum class Action { Show, Start, Stop, Toggle, Status, ToggleKey, Help, Version, Invalid };

    Action action = Action::Show;
    QString error;    // Invalid: what was wrong
    QString keyName;  // ToggleKey: the key's name as given, or "none"

    // The verb sent to the running copy; nothing for Help, Version and Invalid.
    std::optional<command::Verb> verb() const;
    // The verb with its argument.
    std::optional<command::Request> request() const;
};

// Reads the arguments after the program's name, in QCommandLineParser's
// conventions. At most one verb; no positional argument.
CommandLine parseCommandLine(const QStringList& arguments);
// The text of --help.
QString usageText();

}  // namespace quindorel
