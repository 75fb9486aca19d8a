#pragma once

// No key left stuck when the program is killed or crashes: a small process of
// our own, started with the program, hears of every key a hold puts down or
// lets up and, when its link to the program breaks while keys are down, lets
// go of them and ends. It sleeps on the link the whole time and ends with the
// program. On X11 it is a fork on a socket, on Windows a second copy of the
// program on an anonymous pipe; both keep their ledger in a KeyLedger.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// One thing the guard hears: a key about to go down, or just let up.
struct GuardNote {
    SystemKey key = 0;
    bool down = true;
    bool repeat = false;    // with a key-down: its auto-repeat is off until it comes up (X11)
    bool modifier = false;  // Shift, Ctrl, Alt or a Windows key: let go of last
    bool operator==(const GuardNote&) const = default;
};

// The program's end of the guard's link, as the system has it: a socket on
// Linux, a pipe on Windows. Destroying it closes the link, which ends the guard.
class GuardLink {
public:
    virtual ~GuardLink() = default;
    // Whether every byte went to the guard: false when the guard has gone or
    // stopped listening.
    virtual bool write(const std::vector<std::uint8_t>& bytes) = 0;
};

// The program's end of the link. Without a guard it is not connected and
// hears nothing. Copies share the link (a session's X11 and Wayland back ends
// tell one guard); dropping the last one ends the guard.
class KeyGuard {
public:
    KeyGuard() = default;
    explicit KeyGuard(std::unique_ptr<GuardLink> link) : link_(std::move(link)) {}

    // Tells the guard of keys about to go down (before their events are sent)
    // or just let up (after). A guard that has gone, or stopped listening, is
    // dropped: a half-told ledger would be wrong.
    void tell(const std::vector<GuardNote>& notes);

    // Sends key events as the guard needs them told, whatever the system:
    // `notes` has one note for each event, in order. The key-downs are told
    // before `send` puts out the first event, the key-ups once it returns,
    // which it does only when the system has every event (in the server, in
    // the input queue). A program killed in between leaves no key down.
    void sendTold(const std::vector<GuardNote>& notes, const std::function<void()>& send);

private:
    std::shared_ptr<GuardLink> link_;
};

}  // namespace quindorel
