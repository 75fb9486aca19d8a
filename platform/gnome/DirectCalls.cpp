#include "platform/gnome/DirectCalls.h"

#include <dbus/dbus.h>

#include <condition_variable>
#include <mutex>
#include <utility>

namespace quindorel {

// What libdbus's thread (Qt's) tells the waiting one: how many answers are
// in. Each pending call holds a share, so a late answer never reaches a
// freed counter.
struct DirectCalls::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t answers = 0;
};

namespace {

void answered(DBusPendingCall*, void* data) {
    auto* shared = static_cast<std::shared_ptr<DirectCalls::Shared>*>(data);
    {
        const std::lock_guard<std::mutex> lock((*shared)->mutex);
        ++(*shared)->answers;
    }
    (*shared)->changed.notify_all();
}

void release(void* data) {
    delete static_cast<std::shared_ptr<DirectCalls::Shared>*>(data);
}

}  // namespace

DirectCalls::DirectCalls(const QDBusConnection& bus, const QString& service, const QString& path,
                         const QString& interface, const QString& objectPath)
    : connection_(bus.isConnected() ? bus.internalPointer() : nullptr),
      service_(service.toUtf8()),
      path_(path.toUtf8()),
      interface_(interface.toUtf8()),
      objectPath_(objectPath.toUtf8()),
      shared_(std::make_shared<Shared>()) {
    // libdbus ends the program over a malformed path; the portal's own are checked once here.
    if (!dbus_validate_path(objectPath_.constData(), nullptr)) {
        connection_ = nullptr;
    }
}

DirectCalls::~DirectCalls() {
    for (DBusPendingCall* call : calls_) {
        if (call != nullptr) {
            dbus_pending_call_cancel(call);
            dbus_pending_call_unref(call);
        }
    }
}

void DirectCalls::call(const char* member, std::int32_t number, std::uint32_t state) {
    auto* connection = static_cast<DBusConnection*>(connection_);
    DBusPendingCall* pending = nullptr;
    DBusMessage* message = connection == nullptr ? nullptr
                                                 : dbus_message_new_method_call(
                                                       service_.constData(), path_.constData(),
                                                       interface_.constData(), member);
    if (message != nullptr) {
        const char* object = objectPath_.constData();
        DBusMessageIter arguments;
        DBusMessageIter options;
        dbus_message_iter_init_append(message, &arguments);
        const bool built =
            dbus_message_iter_append_basic(&arguments, DBUS_TYPE_OBJECT_PATH, &object) &&
            dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "{sv}", &options) &&
            dbus_message_iter_close_container(&arguments, &options) &&
            dbus_message_iter_append_basic(&arguments, DBUS_TYPE_INT32, &number) &&
            dbus_message_iter_append_basic(&arguments, DBUS_TYPE_UINT32, &state);
        // Without a time limit: see the class's comment.
        if (built &&
            dbus_connection_send_with_reply(connection, message, &pending, DBUS_TIMEOUT_INFINITE) &&
            pending != nullptr) {
            auto* share = new std::shared_ptr<Shared>(shared_);
            if (!dbus_pending_call_set_notify(pending, answered, share, release)) {
                delete share;
            }
        }
        dbus_message_unref(message);
    }
    calls_.push_back(pending);
}

std::vector<DirectCalls::Answer> DirectCalls::wait(std::chrono::milliseconds limit) {
    auto* connection = static_cast<DBusConnection*>(connection_);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // libdbus writes what the socket takes at once, and leaves the rest to
    // a watch on Qt's thread that cannot be switched on from this one; so
    // the rest is written from here, as the bus takes it, within the limit.
    while (connection != nullptr && dbus_connection_has_messages_to_send(connection)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !dbus_connection_read_write(connection, int(left.count()))) {
            break;
        }
    }
    // Answers come mostly in order: each look starts at the first still open.
    std::size_t open = 0;
    const auto done = [this, &open] {
        while (open < calls_.size() &&
               (calls_[open] == nullptr || dbus_pending_call_get_completed(calls_[open]))) {
            ++open;
        }
        return open == calls_.size();
    };
    {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        for (;;) {
            // Looked at without the lock, as libdbus takes its own; an
            // answer meanwhile shows in the count, so no notice is missed.
            const std::size_t seen = shared_->answers;
            lock.unlock();
            const bool all = done();
            lock.lock();
            if (all || !shared_->changed.wait_until(lock, deadline,
                                                    [&] { return shared_->answers != seen; })) {
                break;
            }
        }
    }
    std::vector<Answer> answers;
    answers.reserve(calls_.size());
    for (DBusPendingCall* call : std::exchange(calls_, {})) {
        Answer answer;
        if (call != nullptr && dbus_pending_call_get_completed(call)) {
            answer.answered = true;
            if (DBusMessage* reply = dbus_pending_call_steal_reply(call)) {
                if (dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_ERROR) {
                    const char* text = nullptr;
                    dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &text,
                                          DBUS_TYPE_INVALID);
                    answer.error = QString::fromUtf8(
                        text != nullptr && *text != 0 ? text : dbus_message_get_error_name(reply));
                }
                dbus_message_unref(reply);
            }
        } else if (call != nullptr) {
            dbus_pending_call_cancel(call);
        }
        if (call != nullptr) {
            dbus_pending_call_unref(call);
        }
        answers.push_back(std::move(answer));
    }
    return answers;
}

}  // namespace quindorel
