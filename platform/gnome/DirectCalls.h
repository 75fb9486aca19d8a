#pragma once

#include <QDBusConnection>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct DBusMessage;
struct DBusPendingCall;

namespace quindorel {

// A run of method calls that go out on the connection at once, from the
// calling thread, and are waited for together.
//
// QtDBus hands every call to a thread of its own and marshals it there: some
// 40 microseconds a call, so that a hundred keys took 4 to 6 ms to leave.
// Here each call is written to the bus where it is made, through the
// connection's own libdbus handle (which Qt offers for this), and the
// answers are collected as libdbus hands them over on Qt's D-Bus thread.
//
// The calls have no libdbus time limit: Qt can start the timer of one only on
// its own thread. wait() keeps the limit instead, and what has not answered
// by then is cancelled.
class DirectCalls {
public:
    struct Answer {
        bool answered = false;  // false: no answer in time, or not sent
        QString error;          // the error's message; empty on success
    };

    // Calls to `interface` of `path` at `service`, each with `objectPath`
    // first. On a connection without a libdbus handle (none, or closed), or
    // with an object path that is none, every call is answered as not sent.
    DirectCalls(const QDBusConnection& bus, const QString& service, const QString& path,
                const QString& interface, const QString& objectPath);
    ~DirectCalls();
    DirectCalls(const DirectCalls&) = delete;
    DirectCalls& operator=(const DirectCalls&) = delete;

    // Sends `member(object path, {}, int32, uint32)`: the shape of the Remote
    // Desktop portal's Notify calls.
    void call(const char* member, std::int32_t number, std::uint32_t state);
    // Waits until every call sent so far has answered, or `limit` has passed
    // since this was called; then gives each call's answer, in the order they
    // were made, and starts afresh.
    std::vector<Answer> wait(std::chrono::milliseconds limit);

    // What libdbus's thread tells the waiting one.
    struct Shared;

private:
    void* connection_ = nullptr;                          // DBusConnection*, owned by Qt
    QByteArray service_, path_, interface_, objectPath_;  // as libdbus takes them
    std::shared_ptr<Shared> shared_;
    std::vector<DBusPendingCall*> calls_;  // null where the call was not sent
};

}  // namespace quindorel
