#include "platform/wayland/WaylandDesktop.h"

#include <unistd.h>

#include <algorithm>

#include "platform/wayland/RepeatSettings.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandInput.h"
#include "platform/wayland/WaylandKeyGuard.h"
#include "platform/wayland/WaylandKeymap.h"
#include "platform/wayland/WlrootsWindows.h"

namespace quindorel {

namespace {

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
    std::unique_ptr<WaylandDesktop> desktop(
        new WaylandDesktop(std::move(connection), std::move(input), std::move(windows), log));
    desktop->sway_ = std::move(sway);
    desktop->stopCommand_ = std::move(options.stopCommand);
    desktop->toggleCommand_ = std::move(options.toggleCommand);
    desktop->guard_ = std::move(options.guard);
    desktop->makeClock_ = std::move(options.makeClock);
    if (desktop->makeClock_) {
        desktop->activationClock_ = desktop->makeClock_();
        desktop->activationClock_->setEnabled(false);
        desktop->activationClock_->setOnTick([self = desktop.get()] {
            self->dispatch();
            self->lookAtActivation();
        });
    }
    if (!desktop->sway_ && options.shortcuts) {
        desktop->shortcuts_ = options.shortcuts();
    }
    if (desktop->sway_) {
        desktop->swayLock_ = lockSway(desktop->anotherCopyOnSway_);
    }
    if (desktop->anotherCopyOnSway_) {
        log.write(LogTopic::Wayland, LogLevel::Warning,
                  "another copy of the program keeps Sway's settings: it has Ctrl+Shift+S, "
                  "and switches client repeat off while it runs");
    } else if (desktop->sway_) {
        desktop->swayEvents_ = SwayIpc::open(log);
        if (desktop->swayEvents_ && !desktop->swayEvents_->listenForReloads()) {
            log.write(LogTopic::Wayland, LogLevel::Warning,
                      "Sway will not tell of its reloads: after one, held keys may repeat and "
                      "Ctrl+Shift+S may not end a hold");
            desktop->swayEvents_.reset();
        }
        // Once, as the program starts: never while a game waits for keys.
        desktop->switchRepeatOff();
    }
    return desktop;
}

WaylandDesktop::WaylandDesktop(std::unique_ptr<WaylandConnection> connection,
                               std::unique_ptr<WaylandInput> input,
                               std::unique_ptr<NativeWindows> windows, SystemLog log)
    : connection_(std::move(connection)),
      input_(std::move(input)),
      windows_(std::move(windows)),
      log_(std::move(log)) {
    windows_->actsDone = [this] { actsDone(); };
}

void WaylandDesktop::actsDone() {
    if (keysWaiting_ && !bringingForward()) {
        keysWaiting_ = false;
        if (answered_) {
            answered_(true);
        }
    }
}

WaylandDesktop::~WaylandDesktop() {
    unbindStopKey();
    unbindToggleKey();
    putRepeatBack();
    if (swayLock_ >= 0) {
        close(swayLock_);
    }
    // What was made on the connection goes before it.
    windows_.reset();
    input_.reset();
}

int WaylandDesktop::fd() const {
    return connection_->fd();
}

int WaylandDesktop::swayFd() const {
    return swayEvents_ ? swayEvents_->fd() : -1;
}

bool WaylandDesktop::dispatch() {
    if (swayEvents_ && swayEvents_->reloaded()) {
        afterSwayReload();
    }
    if (swayEvents_ && swayEvents_->lost()) {
        swayEvents_.reset();
    }
    if (!lost_ && !connection_->dispatch()) {
        lost_ = true;
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the connection to the Wayland compositor was lost: native windows are "
                   "neither listed nor reached until the program starts again");
    }
    if (activating_ != 0 && (lost_ || windows_->activeWindow() == activating_)) {
        lookAtActivation();
    }
    if (desktopRepeat_) {
        desktopRepeat_->connectionRead();
    }
    return !lost_;
}

void WaylandDesktop::lookAtActivation() {
    if (activating_ == 0) {
        return;
    }
    constexpr auto kActivationLimit = std::chrono::milliseconds(200);
    const bool active = !lost_ && windows_->activeWindow() == activating_;
    const bool late = std::chrono::steady_clock::now() - activationAsked_ >= kActivationLimit;
    if (!active && !late && !lost_) {
        return;
    }
    if (!active && !lost_) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "native window " + std::to_string(activating_) + " was not activated in 200 ms");
    }
    activating_ = 0;
    activationClock_->setEnabled(false);
    actsDone();
}

std::vector<TopLevelWindow> WaylandDesktop::topLevelWindows() {
    std::vector<TopLevelWindow> windows;
    if (!dispatch()) {
        return windows;
    }
    for (const NativeWindows::Window& window : windows_->list()) {
        windows.push_back({window.id, window.title, !window.minimized, window.own, window.kind,
                           window.x11Window});
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

bool WaylandDesktop::setUpKey(KeyAction action, std::optional<HotKey> key, WindowId) {
    if (action != KeyAction::StopHold) {
        return bindToggleKey(key);
    }
    if (!sway_ && shortcuts_) {
        return shortcuts_->take();
    }
    if (!sway_ || stopCommand_.empty() || stopKeyBound_) {
        return true;
    }
    if (anotherCopyOnSway_) {
        return false;  // that copy's binding stays
    }
    stopKeyWanted_ = true;
    return bindStopKey();
}

bool WaylandDesktop::bindStopKey() {
    const XkbPtr<xkb_keymap> keymap = chooseKeymap(connection_->seatKeyboard().keymap);
    if (sway_->stopKeyTaken(keymap.get())) {
        return false;
    }
    // In the mode Sway starts in, whatever mode the user is in now: unbound
    // from the same one at the end.
    guard_.tell({{kSwayStopBinding, true}});
    stopKeyBound_ =
        sway_->run("mode default bindsym --no-repeat Ctrl+Shift+s exec " + stopCommand_);
    if (!stopKeyBound_) {
        guard_.tell({{kSwayStopBinding, false}});
    }
    return true;
}

void WaylandDesktop::unbindStopKey() {
    if (sway_ && stopKeyBound_) {
        sway_->run(kSwayUnbindStopKey);
        guard_.tell({{kSwayStopBinding, false}});
        stopKeyBound_ = false;
    }
}

bool WaylandDesktop::bindToggleKey(std::optional<HotKey> key) {
    // KDE keeps its own key for the action (DesktopShortcuts); elsewhere
    // the key works through Xwayland alone.
    if (!sway_ || toggleCommand_.empty()) {
        return true;
    }
    if (anotherCopyOnSway_) {
        return !key;  // that copy's bindings stay
    }
    if (key && toggleKeyBound_ == key) {
        return true;
    }
    unbindToggleKey();
    toggleKeyWanted_ = key;
    if (!key) {
        return true;
    }
    const std::string combo = swayKeyCombo(*key);
    const XkbPtr<xkb_keymap> keymap = chooseKeymap(connection_->seatKeyboard().keymap);
    if (combo.empty() || sway_->keyTaken(keymap.get(), *key)) {
        toggleKeyWanted_.reset();
        return false;
    }
    // The guard's note names the key, to unbind it should the program be killed.
    const GuardNote note{swayToggleBindingNote(*key), true};
    guard_.tell({note});
    if (!sway_->run("mode default bindsym --no-repeat " + combo + " exec " + toggleCommand_)) {
        guard_.tell({{note.key, false}});
        toggleKeyWanted_.reset();
        return false;
    }
    toggleKeyBound_ = key;
    return true;
}

void WaylandDesktop::unbindToggleKey() {
    if (sway_ && toggleKeyBound_) {
        sway_->run("mode default unbindsym " + swayKeyCombo(*toggleKeyBound_));
        guard_.tell({{swayToggleBindingNote(*toggleKeyBound_), false}});
        toggleKeyBound_.reset();
    }
}

void WaylandDesktop::switchRepeatOff() {
    // Clients repeat a held key themselves, at the rate Sway gives the
    // keyboard that typed it; virtual keyboards are told not to, as a held
    // key on X11 does not repeat. The user's own keyboards keep theirs.
    const std::optional<std::int32_t> rate = sway_->virtualKeyboardRepeatRate();
    if (!rate || *rate > kMaxRepeatRate) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "Sway does not tell the repeat rate of virtual keyboards: windows may repeat "
                   "held keys");
        return;
    }
    if (*rate == 0) {
        return;  // the user's configuration has them not repeat already
    }
    guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(*rate), true}});
    if (!sway_->run(std::string(kSwayVirtualKeyboards) + " repeat_rate 0")) {
        guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(*rate), false}});
        return;
    }
    repeatRate_ = *rate;
    input_->giveKeymap();
}

void WaylandDesktop::putRepeatBack() {
    if (sway_ && repeatRate_ > 0) {
        sway_->run(std::string(kSwayVirtualKeyboards) + " repeat_rate " +
                   std::to_string(repeatRate_));
        guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(repeatRate_), false}});
        repeatRate_ = 0;
    }
}

void WaylandDesktop::afterSwayReload() {
    // The configuration read again has replaced what the program set: the
    // rate in force now is the user's, and no binding of ours is left.
    log_.write(LogTopic::Wayland, LogLevel::Debug, "Sway reloaded its configuration");
    sway_->forgetConfiguration();
    if (repeatRate_ > 0) {
        guard_.tell({{kSwayRepeatOff + static_cast<SystemKey>(repeatRate_), false}});
        repeatRate_ = 0;
    }
    switchRepeatOff();
    // Sway has given every keyboard a keymap of its configuration's again.
    input_->giveKeymap();
    if (stopKeyBound_) {
        guard_.tell({{kSwayStopBinding, false}});
        stopKeyBound_ = false;
    }
    if (toggleKeyBound_) {
        guard_.tell({{swayToggleBindingNote(*toggleKeyBound_), false}});
        toggleKeyBound_.reset();
    }
    if (const std::optional<HotKey> wanted = toggleKeyWanted_; wanted && !bindToggleKey(wanted)) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "Sway's configuration binds the start/stop key since its reload: it no longer "
                   "starts or stops a hold");
    }
    if (stopKeyWanted_ && !bindStopKey()) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "Sway's configuration binds Ctrl+Shift+S since its reload: it no longer ends "
                   "a hold");
    }
}

bool WaylandDesktop::isKwin() const {
    return connection_->globals().kwin;
}

void WaylandDesktop::repeatOffWhileHolding(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                                           KeyGuard guard) {
    if (!makeClock_) {
        return;
    }
    desktopRepeat_ =
        std::make_unique<HeldKeyRepeat>(std::move(setting), std::move(note), std::move(guard), log_,
                                        connection_.get(), makeClock_(), [this] { actsDone(); });
}

void WaylandDesktop::withdrawPermissionRequest() {
    keysWaiting_ = false;
    if (desktopRepeat_) {
        desktopRepeat_->notSent();
    }
}

void WaylandDesktop::showWindow(WindowId window) {
    if (lost_ || isOwn(window)) {
        return;
    }
    // A raise on its way activates the window; the keys wait for it there
    // (sendKeys), not here.
    if (windows_->acting()) {
        return;
    }
    // Raised just before, as a pass does: it may have the keyboard already.
    if (windows_->activeWindow() == window || !windows_->activate(window)) {
        return;
    }
    // The compositor tells when it has activated it (dispatch), or the clock
    // gives up on it; the program goes on meanwhile.
    if (activationClock_ && !windows_->acting()) {
        activating_ = window;
        activationAsked_ = std::chrono::steady_clock::now();
        activationClock_->setInterval(10);
        activationClock_->setEnabled(true);
    }
}

KeySendResult WaylandDesktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    if (lost_) {
        return {KeySendOutcome::Refused, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
    }
    // Key-downs go to the window in front: after the acts that bring the
    // target there. Key-ups go at once: they let go wherever a key went down.
    const auto down = [](const KeyStroke& s) { return s.down; };
    if (windows_->acting() && std::any_of(strokes.begin(), strokes.end(), down)) {
        keysWaiting_ = true;
        return {KeySendOutcome::Asking, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
    }
    if (desktopRepeat_ && desktopRepeat_->mustWait(strokes)) {
        keysWaiting_ = true;
        return {KeySendOutcome::Asking, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
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
    if (desktopRepeat_) {
        desktopRepeat_->afterSend(strokes, result);
    }
    if (result.outcome == KeySendOutcome::Refused) {
        dispatch();  // says why, once
    }
    return result;
}

bool WaylandDesktop::ownWindowHasKeyboard() {
    if (bringingForward()) {
        return false;  // the keys wait for it (sendKeys), then ask again
    }
    const WindowId active = lost_ ? 0 : windows_->activeWindow();
    return active != 0 && isOwn(active);
}

WindowId WaylandDesktop::activeWindow() {
    dispatch();
    const WindowId active = lost_ ? 0 : windows_->activeWindow();
    return active != 0 && !isOwn(active) ? active : 0;
}

}  // namespace quindorel
