#include "platform/wayland/WaylandDesktop.h"

#include <algorithm>

#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandInput.h"
#include "platform/wayland/WaylandKeyGuard.h"
#include "platform/wayland/WlrootsWindows.h"

namespace quindorel {

namespace {

// Sway's input identifier of every virtual keyboard, ours among them.
constexpr char kVirtualKeyboards[] = "input 0:0:virtual_keyboard ";
// Sway's own repeat rate, put back when the seat told none.
constexpr std::int32_t kSwayRepeatRate = 25;
constexpr std::int32_t kMaxRepeatRate = static_cast<std::int32_t>(kSwayRepeatMax - kSwayRepeatOff);

// The guard's notes of `strokes`: the buttons, which a wlroots desktop keeps
// down when their client dies, and on KWin the keys too.
std::vector<GuardNote> guardNotes(const WaylandInput& input,
                                  const std::vector<KeyStroke>& strokes) {
    std::vector<GuardNote> notes;
    for (const KeyStroke& stroke : strokes) {
        const bool button = isMouseButton(stroke.virtualKey);
        const auto code = button || input.keysOutliveUs() ? input.codeFor(stroke) : std::nullopt;
        if (code) {
            notes.push_back({(button ? kWaylandButton : kWaylandKey) + *code, stroke.down, false,
                             isModifierKey(stroke.virtualKey)});
        }
    }
    return notes;
}

}  // namespace

std::unique_ptr<WaylandDesktop> WaylandDesktop::open(Options options, std::string* whyNot) {
    const SystemLog& log = options.log;
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
    if (!input && connection->globals().kwin) {
        return refuse(
            "KWin lets only an installed Quindorel send keys, one that its desktop entry names "
            "(install it, then start the installed copy)");
    }
    if (!input) {
        return refuse("the desktop offers no virtual keyboard (zwp_virtual_keyboard_v1)");
    }
    auto sway = SwayIpc::open(log);
    std::unique_ptr<NativeWindows> windows;
    if (connection->toplevels().available()) {
        windows = std::make_unique<WlrootsWindows>(*connection, sway.get(), options.ownAppId, log);
    } else if (options.otherWindows) {
        windows = options.otherWindows();
    }
    if (!windows) {
        return refuse("the desktop lists no windows (zwlr_foreign_toplevel_manager_v1)");
    }
    std::unique_ptr<WaylandDesktop> desktop(new WaylandDesktop(std::move(connection),
                                                               std::move(input), std::move(windows),
                                                               log, std::move(options.waiter)));
    desktop->sway_ = std::move(sway);
    desktop->stopCommand_ = std::move(options.stopCommand);
    if (!desktop->sway_ && options.stopKey) {
        desktop->desktopStopKey_ = options.stopKey();
    }
    return desktop;
}

WaylandDesktop::WaylandDesktop(std::unique_ptr<WaylandConnection> connection,
                               std::unique_ptr<WaylandInput> input,
                               std::unique_ptr<NativeWindows> windows, SystemLog log,
                               std::unique_ptr<Waiter> waiter)
    : connection_(std::move(connection)),
      input_(std::move(input)),
      windows_(std::move(windows)),
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
    // What was made on the connection goes before it.
    windows_.reset();
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
    for (const NativeWindows::Window& window : windows_->list()) {
        windows.push_back({window.id, window.title, !window.minimized, window.own});
    }
    // The window in front first, as a stacking order would have it; the
    // compositor tells no other order.
    const WindowId active = windows_->activeWindow();
    std::stable_partition(windows.begin(), windows.end(),
                          [active](const TopLevelWindow& window) { return window.id == active; });
    return windows;
}

bool WaylandDesktop::isOwn(WindowId window) {
    const auto windows = windows_->list();
    return std::any_of(windows.begin(), windows.end(), [&](const NativeWindows::Window& listed) {
        return listed.id == window && listed.own;
    });
}

void WaylandDesktop::makeTopMost(WindowId window) {
    if (!lost_ && !isOwn(window)) {
        windows_->raise(window);
    }
}

void WaylandDesktop::releaseTopMost(WindowId window) {
    if (!lost_ && !isOwn(window)) {
        windows_->lower(window);
    }
}

bool WaylandDesktop::pointerInto(WindowId window) {
    const std::optional<PointerSpot> spot = lost_ ? std::nullopt : windows_->pointerSpot(window);
    if (!spot) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "no point of native window " + std::to_string(window) + " is known to be free");
        return false;
    }
    return input_->movePointer(spot->x, spot->y, spot->width, spot->height);
}

bool WaylandDesktop::setUpStopKey(WindowId) {
    if (!sway_ && desktopStopKey_) {
        return desktopStopKey_->take();
    }
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

bool WaylandDesktop::isKwin() const {
    return connection_->globals().kwin;
}

void WaylandDesktop::repeatOffWhileHolding(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                                           KeyGuard guard) {
    desktopRepeat_ = std::make_unique<DesktopKeyRepeat>(
        std::move(setting), std::move(note), std::move(guard), log_, [this](bool on) {
            // The key must not reach a client that still repeats; the
            // compositor tells every client, this connection among them.
            const auto told = [this] { return connection_->seatKeyboard().repeatRate; };
            if (!on && told() > 0 &&
                !waiter_->waitUntil([&] { return !dispatch() || told() == 0; },
                                    std::chrono::milliseconds(2000))) {
                log_.write(LogTopic::Wayland, LogLevel::Debug,
                           "the compositor did not announce key repeat off within 2 s");
            }
        });
}

void WaylandDesktop::showWindow(WindowId window) {
    if (lost_ || isOwn(window)) {
        return;
    }
    // Raised just before, as a pass does: it may have the keyboard already.
    if (windows_->activeWindow() != window && !windows_->activate(window)) {
        return;
    }
    if (!waiter_->waitUntil([&] { return !dispatch() || windows_->activeWindow() == window; },
                            std::chrono::milliseconds(200))) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "native window " + std::to_string(window) + " was not activated in 200 ms");
    }
}

KeySendResult WaylandDesktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    if (lost_) {
        return {KeySendOutcome::Refused, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
    }
    holdRepeat(strokes, nullptr);
    if (desktopRepeat_) {
        desktopRepeat_->beforeSend(strokes);
    }
    KeySendResult result;
    guard_.sendTold(guardNotes(*input_, strokes), [&] {
        result = input_->send(strokes);
        // The program may end right after letting go (SIGTERM): the
        // compositor drops requests of a client that has gone unread.
        const auto up = [](const KeyStroke& s) { return !s.down; };
        if (std::any_of(strokes.begin(), strokes.end(), up)) {
            connection_->settle(500);
        }
    });
    holdRepeat(strokes, &result);
    if (desktopRepeat_) {
        desktopRepeat_->afterSend(strokes, result);
    }
    if (result.outcome == KeySendOutcome::Refused) {
        dispatch();  // says why, once
    }
    return result;
}

bool WaylandDesktop::ownWindowHasKeyboard() {
    const WindowId active = lost_ ? 0 : windows_->activeWindow();
    return active != 0 && isOwn(active);
}

WindowId WaylandDesktop::activeWindow() {
    dispatch();
    const WindowId active = lost_ ? 0 : windows_->activeWindow();
    return active != 0 && !isOwn(active) ? active : 0;
}

}  // namespace quindorel
