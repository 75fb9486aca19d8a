#pragma once
// The words of the command line, once for every end of it: the verbs a client
// sends, the reply line the running copy sends back, the exit statuses a
// command ends with and the channel's limits. Plain C++, so that the launcher
// can pass a command on without loading Qt.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quindorel::command {

// What a client asks of the running copy: "show" is what a second start
// without an option sends; the others are options of the command line.
// "toggle-key" sets the user's start/stop key, by name ("none": none); it is
// the one verb with an argument.
enum class Verb { Show, Start, Stop, Toggle, Status, ToggleKey };
inline constexpr std::array kVerbs{Verb::Show,   Verb::Start,  Verb::Stop,
                                   Verb::Toggle, Verb::Status, Verb::ToggleKey};

// A verb and its argument, if it takes one.
struct Request {
    Request(Verb verb, std::string argument = {}) : verb(verb), argument(std::move(argument)) {}
    Verb verb;
    std::string argument;
    bool operator==(const Request&) const = default;
};

// The word sent on the channel, and the command line's option but for "show".
std::string_view verbName(Verb verb);
// The verb `word` names, exactly; nothing for anything else.
std::optional<Verb> verbNamed(std::string_view word);
// The verb an option asks for, in QCommandLineParser's long forms ("--toggle"
// or "-toggle"); nothing for "show", which is no option.
std::optional<Verb> optionVerb(std::string_view argument);

// A request: the verb, a space and the argument if it takes one, and a line end.
std::string requestLine(const Request& request);
// Whether an argument fits in a request: short enough, one line of
// printable text.
bool fitsRequest(std::string_view argument);
// The request of a line without its "\n" (a "\r" before it is let go):
// nothing for a verb that takes no argument given one, or the other way.
std::optional<Request> readRequest(std::string_view line);

// Exit statuses of a command; --status tells the states apart by them.
namespace exitcode {
inline constexpr int kDone = 0;  // also --status: idle
inline constexpr int kNotRunning = 1;
inline constexpr int kUsage = 2;
inline constexpr int kWaiting = 3;  // --status
inline constexpr int kHolding = 4;  // --status
inline constexpr int kRefused = 5;  // --start: nothing to hold, or nowhere to hold it
}  // namespace exitcode

// A refusal or a mistake is printed to standard error, anything else to
// standard output.
bool printedAsError(int status);

// The running copy's reply: one line "<exit status> <text>", without its
// line end; a line end in the text becomes a space.
std::string replyLine(int status, std::string_view text);
struct Reply {
    int status;
    std::string text;
};
// A reply line read back. One that does not start with a status is not ours:
// it is printed whole, as a refusal.
Reply readReply(std::string_view line);

// The channel's limits: a request is a verb, a key's name and its line end,
// with room to spare; a reply, a status line with its window title.
inline constexpr std::size_t kMaxRequest = 96;
inline constexpr std::size_t kMaxReply = 4096;
// How long the running copy waits for a client's request, and a client for
// the reply.
inline constexpr int kRequestTimeoutMs = 2000;
inline constexpr int kReplyTimeoutMs = 3000;
// How long a client waits for the reply to `verb`: a start may wait for the
// user to answer a dialog of the desktop, however long that takes (a
// negative value: no limit); the other verbs are answered at once.
int replyTimeoutMs(Verb verb);

}  // namespace quindorel::command
