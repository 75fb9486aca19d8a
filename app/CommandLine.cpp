#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace quindorel {

namespace {

struct Verb {
    const char* name;
    const char* help;
    CommandLine::Action action;
};

constexpr Verb kVerbs[] = {
    {"start", "Hold the marked keys down now, in the chosen window or the one in front.",
     CommandLine::Action::Start},
    {"stop", "Let go of every held key now and turn the switch off.", CommandLine::Action::Stop},
    {"toggle", "Stop while waiting or holding, else start.", CommandLine::Action::Toggle},
    {"status", "Print what the running copy is doing: idle, waiting or holding.",
     CommandLine::Action::Status},
};

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Holds keys down in another window. Without an option it shows its "
                       "window; the options act on the copy that runs."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Verb& verb : kVerbs) {
        parser.addOption(QCommandLineOption(QLatin1String(verb.name), QLatin1String(verb.help)));
    }
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Show the version.")));
}

}  // namespace

QByteArray CommandLine::verb() const {
    switch (action) {
        case Action::Show:
            return "show";
        case Action::Start:
            return "start";
        case Action::Stop:
            return "stop";
        case Action::Toggle:
            return "toggle";
        case Action::Status:
            return "status";
        default:
            return {};
    }
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
    for (const Verb& verb : kVerbs) {
        if (parser.isSet(QLatin1String(verb.name))) {
            given << QLatin1String(verb.name);
            command.action = verb.action;
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
