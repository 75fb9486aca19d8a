#pragma once

// No key left stuck when the program is killed or crashes: a small process of
// our own, started with the program, hears of every key a hold puts down or
// lets up and, when its link to the program breaks while keys are down, lets
// go of them and ends. It sleeps on the link the whole time and ends with the
// program. On X11 it is a fork on a socket, on Windows a second copy of the
// program on an anonymous pipe; both keep their ledger in a KeyLedger.

#include <cstdint>
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

// The program's end of the link. Without a guard it is not connected and
// hears nothing; dropping it ends the guard.
class KeyGuard {
public:
    // A socket descriptor, or a pipe HANDLE on Windows.
    using Link = std::intptr_t;
    static constexpr Link kNoLink = -1;

    KeyGuard() = default;
    explicit KeyGuard(Link link) : link_(link) {}
    KeyGuard(KeyGuard&& other) noexcept : link_(other.link_) { other.link_ = kNoLink; }
    KeyGuard& operator=(KeyGuard&& other) noexcept {
        std::swap(link_, other.link_);  // ours closes with `other`
        return *this;
    }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    ~KeyGuard() { close(); }

    // Tells the guard of keys about to go down (before their events are sent)
    // or just let up (after). A guard that has gone, or stopped listening, is
    // dropped: a half-told ledger would be wrong.
    void tell(const std::vector<GuardNote>& notes);

private:
    void close();

    Link link_ = kNoLink;
};

}  // namespace quindorel
