#include "platform/gnome/PortalDesktop.h"

#include <algorithm>
#include <cstdint>

#include "platform/wayland/RepeatSettings.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"

namespace quindorel {

std::unique_ptr<PortalDesktop> PortalDesktop::open(Options options) {
    auto portal = RemoteDesktopPortal::open(options.portal);
    // The desktop reads our key codes with the seat's keymap; xkbcommon's
    // for the layout in use when the seat tells none.
    auto connection = WaylandConnection::open();
    const XkbPtr<xkb_keymap> keymap =
        chooseKeymap(connection ? connection->seatKeyboard().keymap : std::string());
    if (!portal || !keymap) {
        return nullptr;
    }
    return std::unique_ptr<PortalDesktop>(
        new PortalDesktop(std::move(options), std::move(portal),
                          XkbKeyLayout::fromKeymap(keymap.get(), 0), std::move(connection)));
}

PortalDesktop::PortalDesktop(Options options, std::unique_ptr<RemoteDesktopPortal> portal,
                             XkbKeyLayout layout, std::unique_ptr<WaylandConnection> connection)
    : log_(std::move(options.log)),
      makeClock_(std::move(options.makeClock)),
      portal_(std::move(portal)),
      layout_(std::move(layout)),
      stopKey_(std::move(options.stopKey)),
      connection_(std::move(connection)) {
    settle_.setSingleShot(true);
    QObject::connect(&settle_, &QTimer::timeout, &settle_, [this] { mayGo(); });
}

void PortalDesktop::mayGo() {
    if (permissionAnswered_) {
        permissionAnswered_(true);
    }
}

PortalDesktop::~PortalDesktop() {
    desktopRepeat_.reset();  // back on before the session ends
}

void PortalDesktop::repeatOffWhileHolding(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                                          KeyGuard guard) {
    if (!makeClock_) {
        return;
    }
    desktopRepeat_ =
        std::make_unique<HeldKeyRepeat>(std::move(setting), std::move(note), std::move(guard), log_,
                                        connection_.get(), makeClock_(), [this] { mayGo(); });
}

void PortalDesktop::withdrawPermissionRequest() {
    portal_->withdraw();
    settle_.stop();
    if (desktopRepeat_) {
        desktopRepeat_->notSent();
    }
}

std::vector<TopLevelWindow> PortalDesktop::topLevelWindows() {
    return {{kWindowInFront, "(the window in front when the wait ends)", true, false}};
}

void PortalDesktop::answered(RemoteDesktopPortal::Answer answer) {
    switch (answer) {
        case RemoteDesktopPortal::Answer::Granted:
        case RemoteDesktopPortal::Answer::Withdrawn:  // nobody waits for the keys now
            refusal_.reset();
            break;
        case RemoteDesktopPortal::Answer::Refused:
            refusal_ =
                "Remote control was not allowed in the desktop's dialog, so no keys are "
                "held.";
            break;
        case RemoteDesktopPortal::Answer::Closed:
            refusal_ =
                "The desktop's dialog for remote control was closed unanswered, so no "
                "keys are held.";
            break;
        case RemoteDesktopPortal::Answer::NoAnswer:
            refusal_ =
                "The desktop's portal did not answer the request for remote control, so no "
                "keys are held.";
            break;
    }
    if (refusal_) {
        log_.write(LogTopic::Wayland, LogLevel::Debug, *refusal_);
    }
    if (answer == RemoteDesktopPortal::Answer::Granted) {
        settle_.start(kSettle);
        return;
    }
    if (permissionAnswered_) {
        permissionAnswered_(!refusal_);
    }
}

KeySendResult PortalDesktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    KeySendResult result;
    const auto down = [](const KeyStroke& stroke) { return stroke.down; };
    if (!portal_->started() && std::any_of(strokes.begin(), strokes.end(), down)) {
        std::vector<std::optional<SystemKey>> none(strokes.size());
        if (refusal_) {
            return {KeySendOutcome::Denied, std::move(none), *std::exchange(refusal_, {})};
        }
        portal_->start([this](RemoteDesktopPortal::Answer answer) {
            // From the event loop, never from within this call.
            answered(answer);
        });
        return {KeySendOutcome::Asking, std::move(none), {}};
    }
    if (desktopRepeat_ && desktopRepeat_->mustWait(strokes)) {
        return {KeySendOutcome::Asking, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
    }
    std::vector<RemoteDesktopPortal::Press> presses;
    std::vector<std::size_t> pressOf(strokes.size(), SIZE_MAX);
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const std::optional<SystemKey> code = codeFor(layout_, strokes[i]);
        result.keys.push_back(code);
        if (code) {
            pressOf[i] = presses.size();
            presses.push_back({*code, isMouseButton(strokes[i].virtualKey), strokes[i].down,
                               isModifierKey(strokes[i].virtualKey)});
        }
    }
    // Without a session nothing of ours is down: the desktop let go of it
    // all when the session ended.
    const std::vector<bool> taken = portal_->send(presses);
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (pressOf[i] == SIZE_MAX || taken[pressOf[i]]) {
            continue;
        }
        result.keys[i] = std::nullopt;
        if (strokes[i].down) {
            result.outcome = KeySendOutcome::Denied;
            result.why =
                "The desktop ended Quindorel's remote control session, so not every key "
                "is held.";
        }
    }
    if (desktopRepeat_) {
        desktopRepeat_->afterSend(strokes, result);
    }
    return result;
}

}  // namespace quindorel
