#include "platform/wayland/WaylandDesktop.h"

#include <algorithm>

#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandInput.h"

namespace quindorel {

std::unique_ptr<WaylandDesktop> WaylandDesktop::open(std::string ownAppId, SystemLog log,
                                                     std::unique_ptr<Waiter> waiter) {
    auto connection = WaylandConnection::open();
    if (!connection) {
        log.write(LogTopic::Wayland, LogLevel::Debug, "no Wayland compositor answers");
        return nullptr;
    }
    auto input = WaylandInput::create(*connection);
    if (!input) {
        log.write(LogTopic::Wayland, LogLevel::Debug,
                  "the compositor offers no virtual keyboard (zwp_virtual_keyboard_v1)");
        return nullptr;
    }
    if (!connection->toplevels().available()) {
        log.write(LogTopic::Wayland, LogLevel::Debug,
                  "the compositor lists no windows (zwlr_foreign_toplevel_manager_v1)");
        return nullptr;
    }
    return std::unique_ptr<WaylandDesktop>(new WaylandDesktop(
        std::move(connection), std::move(input), std::move(ownAppId), log, std::move(waiter)));
}

WaylandDesktop::WaylandDesktop(std::unique_ptr<WaylandConnection> connection,
                               std::unique_ptr<WaylandInput> input, std::string ownAppId,
                               SystemLog log, std::unique_ptr<Waiter> waiter)
    : connection_(std::move(connection)),
      input_(std::move(input)),
      ownAppId_(std::move(ownAppId)),
      log_(std::move(log)),
      waiter_(std::move(waiter)) {}

// The input goes before the connection it was made on.
WaylandDesktop::~WaylandDesktop() {
    input_.reset();
}

int WaylandDesktop::fd() const {
    return connection_->fd();
}

bool WaylandDesktop::dispatch() {
    if (!lost_ && !connection_->dispatch()) {
        lost_ = true;
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the connection to the Wayland compositor was lost: native windows are "
                   "neither listed nor reached until the program starts again");
    }
    return !lost_;
}

std::vector<TopLevelWindow> WaylandDesktop::topLevelWindows() {
    std::vector<TopLevelWindow> windows;
    if (!dispatch()) {
        return windows;
    }
    for (const WaylandToplevel& toplevel : connection_->toplevels().list()) {
        windows.push_back({toplevel.id, toplevel.title, !toplevel.minimized,
                           !ownAppId_.empty() && toplevel.appId == ownAppId_});
    }
    // The window in front first, as a stacking order would have it; the
    // compositor tells no other order.
    std::stable_partition(windows.begin(), windows.end(), [this](const TopLevelWindow& window) {
        return window.id == connection_->toplevels().activeWindow();
    });
    return windows;
}

bool WaylandDesktop::isOwn(WindowId window) {
    const auto windows = connection_->toplevels().list();
    return std::any_of(windows.begin(), windows.end(), [&](const WaylandToplevel& toplevel) {
        return toplevel.id == window && !ownAppId_.empty() && toplevel.appId == ownAppId_;
    });
}

void WaylandDesktop::makeTopMost(WindowId window) {
    if (!lost_ && connection_->toplevels().activate(window, connection_->globals().seat)) {
        connection_->flush();
    }
}

void WaylandDesktop::showWindow(WindowId window) {
    if (lost_ || isOwn(window) ||
        !connection_->toplevels().activate(window, connection_->globals().seat)) {
        return;
    }
    if (!waiter_->waitUntil(
            [&] { return !dispatch() || connection_->toplevels().activeWindow() == window; },
            std::chrono::milliseconds(200))) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "native window " + std::to_string(window) + " was not activated in 200 ms");
    }
}

KeySendResult WaylandDesktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    if (lost_) {
        return {KeySendOutcome::Refused, std::vector<std::optional<SystemKey>>(strokes.size())};
    }
    KeySendResult result = input_->send(strokes);
    if (result.outcome == KeySendOutcome::Refused) {
        dispatch();  // says why, once
    }
    return result;
}

bool WaylandDesktop::ownWindowHasKeyboard() {
    const WindowId active = lost_ ? 0 : connection_->toplevels().activeWindow();
    return active != 0 && isOwn(active);
}

WindowId WaylandDesktop::activeWindow() {
    dispatch();
    const WindowId active = lost_ ? 0 : connection_->toplevels().activeWindow();
    return active != 0 && !isOwn(active) ? active : 0;
}

}  // namespace quindorel
