#include "platform/wayland/WaylandDesktop.h"

#include <unistd.h>

#include <algorithm>

#include "platform/WindowTitle.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandInput.h"
#include "platform/wayland/WaylandKeyGuard.h"
#include "platform/wayland/WaylandKeymap.h"

namespace quindorel {

namespace {

// Sway's input identifier of every virtual keyboard, ours among them.
constexpr char kVirtualKeyboards[] = "input 0:0:virtual_keyboard ";
// Sway's own repeat rate, put back when the seat told none.
constexpr std::int32_t kSwayRepeatRate = 25;
constexpr std::int32_t kMaxRepeatRate = static_cast<std::int32_t>(kSwayRepeatMax - kSwayRepeatOff);

// The guard's notes of the buttons among `strokes`: a wlroots desktop keeps a
// dead client's buttons down, not its keys.
std::vector<GuardNote> buttonNotes(const std::vector<KeyStroke>& strokes) {
    std::vector<GuardNote> notes;
    for (const KeyStroke& stroke : strokes) {
        const auto code = !isMouseButton(stroke.virtualKey) ? std::nullopt
                          : !stroke.down && stroke.pressed  ? stroke.pressed
                                                            : buttonCodeFor(stroke.virtualKey);
        if (code) {
            notes.push_back({kWaylandButton + *code, stroke.down});
        }
    }
    return notes;
}

}  // namespace

std::unique_ptr<WaylandDesktop> WaylandDesktop::open(std::string ownAppId, std::string stopCommand,
                                                     SystemLog log, std::unique_ptr<Waiter> waiter,
                                                     std::string* whyNot) {
    const auto refuse = [&](const std::string& why) {
        log.write(LogTopic::Wayland, LogLevel::Debug, why);
        if (whyNot != nullptr) {
            *whyNot = why;
        }
        return nullptr;
    };
    auto connection = WaylandConnection::open();
    if (!connection) {
        return refuse("the Wayland compositor does not answer");
    }
    auto input = WaylandInput::create(*connection);
    if (!input) {
        return refuse("the desktop offers no virtual keyboard (zwp_virtual_keyboard_v1)");
    }
    if (!connection->toplevels().available()) {
        return refuse("the desktop lists no windows (zwlr_foreign_toplevel_manager_v1)");
    }
    std::unique_ptr<WaylandDesktop> desktop(new WaylandDesktop(
        std::move(connection), std::move(input), std::move(ownAppId), log, std::move(waiter)));
    desktop->sway_ = SwayIpc::open(log);
    desktop->stopCommand_ = std::move(stopCommand);
    return desktop;
}

WaylandDesktop::WaylandDesktop(std::unique_ptr<WaylandConnection> connection,
                               std::unique_ptr<WaylandInput> input, std::string ownAppId,
                               SystemLog log, std::unique_ptr<Waiter> waiter)
    : connection_(std::move(connection)),
      input_(std::move(input)),
      ownAppId_(std::move(ownAppId)),
      log_(std::move(log)),
      waiter_(std::move(waiter)) {}

WaylandDesktop::~WaylandDesktop() {
    if (sway_ && stopKeyBound_) {
        sway_->run("unbindsym Ctrl+Shift+s");
        guard_.tell({{kSwayStopBinding, false}});
    }
    if (sway_ && repeatRate_ > 0) {
        sway_->run(kVirtualKeyboards + std::string("repeat_rate ") + std::to_string(repeatRate_));
        guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(repeatRate_), false}});
    }
    // The input goes before the connection it was made on.
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

void WaylandDesktop::releaseTopMost(WindowId window) {
    const auto tree = sway_ && !lost_ ? sway_->tree() : std::nullopt;
    const SwayIpc::Window* swayWindow = tree ? swayWindowOf(window, *tree) : nullptr;
    if (swayWindow != nullptr && swayWindow->floating) {
        sway_->run("[con_id=" + std::to_string(swayWindow->conId) + "] move position 0 0");
    }
}

const SwayIpc::Window* WaylandDesktop::swayWindowOf(WindowId window, const SwayIpc::Tree& tree) {
    for (const WaylandToplevel& toplevel : connection_->toplevels().list()) {
        if (toplevel.id != window) {
            continue;
        }
        // Titles are cut the same way on both sides.
        for (const SwayIpc::Window& swayWindow : tree.windows) {
            if (!swayWindow.xwayland && swayWindow.appId == toplevel.appId &&
                cutTitle(swayWindow.title) == toplevel.title) {
                return &swayWindow;
            }
        }
    }
    return nullptr;
}

bool WaylandDesktop::pointerInto(WindowId window) {
    const auto tree = sway_ && !lost_ ? sway_->tree() : std::nullopt;
    const SwayIpc::Window* target = tree ? swayWindowOf(window, *tree) : nullptr;
    if (target == nullptr || target->rect.width <= 0 || target->rect.height <= 0 ||
        tree->layout.width <= 0 || tree->layout.height <= 0) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "where native window " + std::to_string(window) + " lies is not known" +
                       (sway_ ? "" : " without Sway's IPC"));
        return false;
    }
    // The visible point nearest the middle, on a grid over the window: the
    // window on top at a point is the last in Sway's order that holds it,
    // and it must be the target, never one of ours.
    const auto visible = [&](std::int32_t x, std::int32_t y) {
        const SwayIpc::Window* onTop = nullptr;
        for (const SwayIpc::Window& swayWindow : tree->windows) {
            if (swayWindow.rect.contains(x, y)) {
                onTop = &swayWindow;
            }
        }
        return onTop == target && target->pid != getpid();
    };
    constexpr int kGrid = 16;
    const SwayIpc::Rect& r = target->rect;
    std::optional<std::pair<std::int32_t, std::int32_t>> best;
    std::int64_t bestDistance = 0;
    for (int i = 0; i < kGrid; ++i) {
        for (int j = 0; j < kGrid; ++j) {
            const std::int32_t x =
                r.x + static_cast<std::int32_t>(std::int64_t{r.width} * (2 * i + 1) / (2 * kGrid));
            const std::int32_t y =
                r.y + static_cast<std::int32_t>(std::int64_t{r.height} * (2 * j + 1) / (2 * kGrid));
            const std::int64_t dx = 2 * (x - r.x) - r.width, dy = 2 * (y - r.y) - r.height;
            if ((!best || dx * dx + dy * dy < bestDistance) && visible(x, y)) {
                best = {x, y};
                bestDistance = dx * dx + dy * dy;
            }
        }
    }
    if (!best) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "native window " + std::to_string(window) + " is covered");
        return false;
    }
    const auto [x, y] = *best;
    return input_->movePointer(static_cast<std::uint32_t>(x - tree->layout.x),
                               static_cast<std::uint32_t>(y - tree->layout.y),
                               static_cast<std::uint32_t>(tree->layout.width),
                               static_cast<std::uint32_t>(tree->layout.height));
}

bool WaylandDesktop::setUpStopKey(WindowId) {
    if (!sway_ || stopCommand_.empty() || stopKeyBound_) {
        return true;
    }
    if (sway_->stopKeyTaken()) {
        return false;
    }
    guard_.tell({{kSwayStopBinding, true}});
    stopKeyBound_ = sway_->run("bindsym --no-repeat Ctrl+Shift+s exec " + stopCommand_);
    if (!stopKeyBound_) {
        guard_.tell({{kSwayStopBinding, false}});
    }
    return true;
}

void WaylandDesktop::holdRepeat(const std::vector<KeyStroke>& strokes, const KeySendResult* sent) {
    // Clients repeat a held key themselves; while ours are down, Sway tells
    // them our keyboard does not repeat, as a held key on X11 does not.
    // Before the first key goes down (`sent` null), and after the last came up.
    const auto isKeyDown = [](const KeyStroke& s) {
        return s.down && !isMouseButton(s.virtualKey);
    };
    if (sent == nullptr) {
        if (sway_ && repeatRate_ == 0 && keysDown_.empty() &&
            std::any_of(strokes.begin(), strokes.end(), isKeyDown)) {
            const std::int32_t told = connection_->seatKeyboard().repeatRate;
            repeatRate_ = told > 0 && told <= kMaxRepeatRate ? told : kSwayRepeatRate;
            guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(repeatRate_), true}});
            sway_->run(kVirtualKeyboards + std::string("repeat_rate 0"));
            input_->giveKeymap();
        }
        return;
    }
    for (std::size_t i = 0; i < strokes.size() && i < sent->keys.size(); ++i) {
        if (sent->keys[i] && !isMouseButton(strokes[i].virtualKey)) {
            std::erase(keysDown_, *sent->keys[i]);
            if (strokes[i].down) {
                keysDown_.push_back(*sent->keys[i]);
            }
        }
    }
    if (sway_ && repeatRate_ > 0 && keysDown_.empty()) {
        sway_->run(kVirtualKeyboards + std::string("repeat_rate ") + std::to_string(repeatRate_));
        input_->giveKeymap();
        guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(repeatRate_), false}});
        repeatRate_ = 0;
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
    holdRepeat(strokes, nullptr);
    KeySendResult result;
    guard_.sendTold(buttonNotes(strokes), [&] { result = input_->send(strokes); });
    holdRepeat(strokes, &result);
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
