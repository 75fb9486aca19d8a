#pragma once

#include <cstdint>
#include <vector>

namespace quindorel {

// The X server keeps keys that came through XTEST down when their client
// dies, so a program that is killed or crashes during a hold would leave them
// stuck. The guard is a small process of our own, forked at start-up, that
// learns through a socket which keys are down and, when the socket closes
// while some still are, sends their key-ups (and gives them back their
// auto-repeat) on a display connection of its own, then ends. It sleeps in
// read() the whole time and ends with the program.

// One line of the guard's ledger.
struct GuardedKey {
    std::uint8_t keycode = 0;
    bool down = true;
    bool repeat = false;    // with a key-down: its auto-repeat was on and is off now
    bool modifier = false;  // Shift, Ctrl, Alt or a Windows key: let go of last
};

class X11KeyGuard {
public:
    // Forks the guard. Call it while the process has a single thread (before
    // Qt starts); without a guard (fork refused) the link stays closed and
    // the program runs on as before.
    static X11KeyGuard start();

    X11KeyGuard() = default;
    explicit X11KeyGuard(int socket) : socket_(socket) {}
    X11KeyGuard(X11KeyGuard&& other) noexcept : socket_(other.socket_) { other.socket_ = -1; }
    X11KeyGuard& operator=(X11KeyGuard&& other) noexcept;
    X11KeyGuard(const X11KeyGuard&) = delete;
    X11KeyGuard& operator=(const X11KeyGuard&) = delete;
    ~X11KeyGuard();

    bool connected() const { return socket_ >= 0; }
    // Hands over the socket (to travel as a plain descriptor); -1 if none.
    int release() {
        const int socket = socket_;
        socket_ = -1;
        return socket;
    }
    // Tells the guard about keys that go down (before their events are sent)
    // or came up (after). Never blocks; a guard that has gone is dropped.
    void tell(const std::vector<GuardedKey>& keys);

    // The guard's own side: reads the ledger from `socket` until it closes,
    // then lets go of whatever is still down on `displayName` (null: DISPLAY).
    static void serve(int socket, const char* displayName);

private:
    int socket_ = -1;
};

}  // namespace quindorel
