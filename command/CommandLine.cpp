#include "command/CommandLine.h"

#include <QCommandLineParser>

namespace quindorel {

namespace {

using command::Verb;

// The verbs that are options, in the order --help lists them.
struct Option {
    Verb verb;
    CommandLine::Action action;
    const char* help;
};

constexpr Option kOptions[] = {
    {Verb::Start, CommandLine::Action::Start,
     "Hold the marked keys down now, in the chosen window or the one in front."},
    {Verb::Stop, CommandLine::Action::Stop,
     "Let go of every held key now and turn the switch off."},
    {Verb::Toggle, CommandLine::Action::Toggle, "Stop while waiting or holding, else start."},
    {Verb::Status, CommandLine::Action::Status,
     "Print what the running copy is doing: idle, waiting or holding."},
    {Verb::ToggleKey, CommandLine::Action::ToggleKey,
     "Make KEY (such as Ctrl+F9) the key that starts and stops the hold from any window; "
     "none: no such key."},
};

QString optionName(const Option& option) {
    const std::string_view name = command::verbName(option.verb);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Holds keys down in another window. Without an option it shows its "
                       "window; the options act on the copy that runs."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& option : kOptions) {
        parser.addOption(option.verb == Verb::ToggleKey
                             ? QCommandLineOption(optionName(option), QLatin1String(option.help),
                                                  QStringLiteral("KEY"))
                             : QCommandLineOption(optionName(option), QLatin1String(option.help)));
    }
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Show the version.")));
}

}  // namespace

std::optional<Verb> CommandLine::verb() const {
    if (action == Action::Show) {
        return Verb::Show;
    }
    for (const Option& option : kOptions) {
        if (option.action == action) {
            return option.verb;
        }
    }
    return std::nullopt;
}

std::optional<command::Request> CommandLine::request() const {
    const std::optional<Verb> verb = this->verb();
    if (!verb) {
        return std::nullopt;
    }
    return command::Request(*verb,
                            *verb == Verb::ToggleKey ? keyName.toStdString() : std::string());
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    CommandLine command;
    if (!parser.parse(QStringList{QStringLiteral("quindorel")} + arguments)) {
        command.action = CommandLine::Action::Invalid;
        command.error = parser.errorText();
        return command;
    }
    if (!parser.positionalArguments().isEmpty()) {
        command.action = CommandLine::Action::Invalid;
        command.error = QStringLiteral("Unexpected argument '%1'.")
                            .arg(parser.positionalArguments().constFirst());
        return command;
    }
    QStringList given;
    for (const Option& option : kOptions) {
        if (parser.isSet(optionName(option))) {
            given << optionName(option);
            command.action = option.action;
        }
    }
    if (command.action == CommandLine::Action::ToggleKey) {
        command.keyName = parser.value(QStringLiteral("toggle-key")).trimmed();
        if (!command::fitsRequest(command.keyName.toStdString())) {
            command.action = CommandLine::Action::Invalid;
            command.error = QStringLiteral("No key is named so: write it as Ctrl+F9.");
        }
    }
    if (parser.isSet(QStringLiteral("help"))) {
        given << QStringLiteral("help");
        command.action = CommandLine::Action::Help;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        given << QStringLiteral("version");
        command.action = CommandLine::Action::Version;
    }
    if (given.size() > 1) {
        command.action = CommandLine::Action::Invalid;
        command.error = QStringLiteral("Give only one of --%1.").arg(given.join(", --"));
    }
    return command;
}

QString usageText() {
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}

}  // namespace quindorel
