#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/SystemLog.h"

namespace quindorel {

class PortalRequest;

// The desktop's Remote Desktop portal (org.freedesktop.portal.RemoteDesktop
// on the session bus): keys and mouse buttons for whatever window has the
// keyboard, where the compositor offers a program no other way in (GNOME).
// The portal asks the user in a dialog of the desktop's own before it lets a
// session start. Where it can remember the answer (version 2 on), it is
// asked to, and the token it hands back is kept for the next run; a session
// then lasts until the program ends, so one run asks at most once. Nothing
// here waits for the user: the answer comes as a call, from the event loop.
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
    using Answered = std::function<void(Answer)>;
    struct Options {
        SystemLog log;
        // Where the portal's restore token is kept between runs.
        std::function<QString()> loadToken;
        std::function<void(const QString&)> saveToken;
    };

    // The portal of the session bus, or null when none offers remote desktop
    // sessions with a keyboard.
    static std::unique_ptr<RemoteDesktopPortal> open(Options options);
    ~RemoteDesktopPortal() override;

    bool started() const { return !session_.isEmpty(); }
    // Whether a start is under way (the desktop's dialog may be open).
    bool starting() const { return request_ != nullptr; }
    // Ends a start under way: the desktop's dialog is closed, and the start
    // is answered Withdrawn.
    void withdraw();
    // Asks for a session with a keyboard and a pointer; `answered` hears the
    // outcome once the user has answered the desktop's dialog, however long
    // that takes. Granted at once when a session is started; a second start
    // while one is under way is not asked.
    void start(Answered answered);
    // A key by its evdev code, or a mouse button by its BTN_ code.
    struct Press {
        std::uint32_t code = 0;
        bool button = false;
        bool down = true;
        bool modifier = false;  // Ctrl, Shift, Alt or Win
    };
    // Presses and lets go in the started session without waiting for each
    // answer, but with every modifier before the keys after it (and the
    // keys before the modifiers after them): the portal may pass calls on
    // out of order, and a key before its modifiers is another key, or a
    // shortcut of the desktop's. Waits for every answer, so that what went
    // up has reached the desktop when this returns. For each, whether the
    // portal took it: none without a session, and a refusal ends the
    // session here.
    std::vector<bool> send(const std::vector<Press>& presses);

private slots:
    void onSessionClosed();

private:
    explicit RemoteDesktopPortal(Options options, uint version)
        : options_(std::move(options)), version_(version) {}
    void forget(const QString& why);
    using Response = std::optional<std::pair<uint, QVariantMap>>;
    // One step of a start: `next` hears a granted Response; anything else
    // ends the start.
    void step(const QString& method, QVariantList arguments, QVariantMap options,
              std::chrono::milliseconds limit, std::function<void(const QVariantMap&)> next);
    void finish(Answer answer);

    Options options_;
    uint version_ = 1;
    QString session_;  // the started session's object path
    // A start under way: its question to the portal, the session it made
    // so far, and who hears the answer.
    PortalRequest* request_ = nullptr;
    QString opening_;
    Answered answered_;
    bool withdrawn_ = false;
};

}  // namespace quindorel
