#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/SystemLog.h"
#include "platform/Waiter.h"

namespace quindorel {

// The desktop's Remote Desktop portal (org.freedesktop.portal.RemoteDesktop
// on the session bus): keys and mouse buttons for whatever window has the
// keyboard, where the compositor offers a program no other way in (GNOME).
// The portal asks the user in a dialog of the desktop's own before it lets a
// session start. Where it can remember the answer (version 2 on), it is
// asked to, and the token it hands back is kept for the next run; a session
// then lasts until the program ends, so one run asks at most once.
class RemoteDesktopPortal : public QObject {
    Q_OBJECT
public:
    enum class Answer {
        Granted,
        Refused,    // the user said no
        Closed,     // the dialog went away unanswered, or the portal failed
        NoAnswer,   // nothing came in time; the question is withdrawn
        Withdrawn,  // withdraw() was called while the dialog was open
    };
    struct Options {
        SystemLog log;
        // Where the portal's restore token is kept between runs.
        std::function<QString()> loadToken;
        std::function<void(const QString&)> saveToken;
        // The window the desktop's dialog belongs to, as the portal names
        // windows ("x11:<id in hex>"); empty for none.
        std::function<QString()> parentWindow;
    };

    // The portal of the session bus, or null when none offers remote desktop
    // sessions with a keyboard.
    static std::unique_ptr<RemoteDesktopPortal> open(Options options);
    ~RemoteDesktopPortal() override;

    bool started() const { return !session_.isEmpty(); }
    // Ends the wait of a start under way (from within it, as the event loop
    // runs): the desktop's dialog is closed and start() says Withdrawn.
    void withdraw() { withdrawn_ = true; }
    // Asks for a session with a keyboard and a pointer and waits, at most
    // `limit`, while the user answers the desktop's dialog.
    Answer start(Waiter& waiter, std::chrono::milliseconds limit);
    // A key by its evdev code, or a mouse button by its BTN_ code.
    struct Press {
        std::uint32_t code = 0;
        bool button = false;
        bool down = true;
    };
    // Presses and lets go in the started session, in order, without waiting
    // for each answer; then waits for the last, so that what went up has
    // reached the desktop when this returns. For each, whether the portal
    // took it: none without a session, and a refusal ends the session here.
    std::vector<bool> send(const std::vector<Press>& presses);

private slots:
    void onSessionClosed();

private:
    explicit RemoteDesktopPortal(Options options, uint version)
        : options_(std::move(options)), version_(version) {}
    void forget(const QString& why);

    Options options_;
    uint version_ = 1;
    QString session_;  // the started session's object path
    bool withdrawn_ = false;
};

}  // namespace quindorel
