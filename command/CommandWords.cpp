#include "command/CommandWords.h"

#include <algorithm>
#include <charconv>

namespace quindorel::command {

std::string_view verbName(Verb verb) {
    switch (verb) {
        case Verb::Show:
            return "show";
        case Verb::Start:
            return "start";
        case Verb::Stop:
            return "stop";
        case Verb::Toggle:
            return "toggle";
        case Verb::ToggleKey:
            return "toggle-key";
        case Verb::Status:
            break;
    }
    return "status";
}

std::optional<Verb> verbNamed(std::string_view word) {
    for (const Verb verb : kVerbs) {
        if (verbName(verb) == word) {
            return verb;
        }
    }
    return std::nullopt;
}

std::optional<Verb> optionVerb(std::string_view argument) {
    if (!argument.starts_with('-')) {
        return std::nullopt;
    }
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    const std::optional<Verb> verb = verbNamed(argument);
    return verb == Verb::Show ? std::nullopt : verb;
}

std::string requestLine(const Request& request) {
    std::string line(verbName(request.verb));
    if (request.verb == Verb::ToggleKey) {
        line += ' ' + request.argument;
    }
    return line + '\n';
}

bool fitsRequest(std::string_view argument) {
    return argument.size() <= 64 && std::none_of(argument.begin(), argument.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
           });
}

std::optional<Request> readRequest(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const std::size_t space = line.find(' ');
    const std::optional<Verb> verb = verbNamed(line.substr(0, space));
    if (!verb || (*verb == Verb::ToggleKey) != (space != std::string_view::npos)) {
        return std::nullopt;
    }
    return space == std::string_view::npos ? Request(*verb)
                                           : Request(*verb, std::string(line.substr(space + 1)));
}

int replyTimeoutMs(Verb verb) {
    return verb == Verb::Start || verb == Verb::Toggle ? -1 : kReplyTimeoutMs;
}

bool printedAsError(int status) {
    return status == exitcode::kRefused || status == exitcode::kUsage;
}

std::string replyLine(int status, std::string_view text) {
    std::string line = std::to_string(status) + ' ';
    for (const char c : text) {
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

Reply readReply(std::string_view line) {
    const std::size_t space = line.find(' ');
    const std::string_view number = line.substr(0, space);
    int status = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), status);
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
        return {exitcode::kRefused, std::string(line)};
    }
    return {status,
            space == std::string_view::npos ? std::string() : std::string(line.substr(space + 1))};
}

}  // namespace quindorel::command
