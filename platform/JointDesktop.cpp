#include "platform/JointDesktop.h"

#include <algorithm>
#include <set>
#include <string>

namespace quindorel {

namespace {

// The native way's keys carry this bit, so that their key-ups find the way
// back; X keycodes stay below 256.
constexpr SystemKey kNativeKey = 0x80000000u;

bool isNative(WindowId window) {
    return window < 0;
}

std::set<std::string> titlesOf(const std::vector<TopLevelWindow>& windows) {
    std::set<std::string> titles;
    for (const TopLevelWindow& window : windows) {
        titles.insert(window.title);
    }
    return titles;
}

}  // namespace

JointDesktop::JointDesktop(std::unique_ptr<NativeDesktop> x11,
                           std::unique_ptr<NativeDesktop> native)
    : x11_(std::move(x11)), native_(std::move(native)) {}

std::vector<TopLevelWindow> JointDesktop::nativeOnly(const std::vector<TopLevelWindow>& x11) {
    std::vector<TopLevelWindow> natives = native_->topLevelWindows();
    // Only where the compositor does not say what a window is: by title, as
    // the best left.
    const std::set<std::string> x11Titles = titlesOf(x11);
    std::erase_if(natives, [&](const TopLevelWindow& window) {
        return window.kind == WindowKind::Xwayland ||
               (window.kind == WindowKind::Unknown && x11Titles.count(window.title) != 0);
    });
    return natives;
}

std::vector<TopLevelWindow> JointDesktop::topLevelWindows() {
    std::vector<TopLevelWindow> windows = x11_->topLevelWindows();
    for (TopLevelWindow& window : nativeOnly(windows)) {
        windows.push_back(std::move(window));
    }
    return windows;
}

NativeDesktop& JointDesktop::wayOf(WindowId window) {
    return isNative(window) ? *native_ : *x11_;
}

void JointDesktop::makeTopMost(WindowId window) {
    aim_ = window;
    wayOf(window).makeTopMost(window);
}

void JointDesktop::releaseTopMost(WindowId window) {
    wayOf(window).releaseTopMost(window);
}

void JointDesktop::showWindow(WindowId window) {
    aim_ = window;
    if (!isNative(window)) {
        // A compositor that turns down Xwayland's own activation requests
        // (Sway's default) grants the one of its window list.
        if (const WindowId twin = twinOf(window)) {
            native_->makeTopMost(twin);
        }
    }
    wayOf(window).showWindow(window);
}

WindowId JointDesktop::twinOf(WindowId x11Window) {
    const std::vector<TopLevelWindow> natives = native_->topLevelWindows();
    for (const TopLevelWindow& window : natives) {
        if (window.kind == WindowKind::Xwayland && window.x11Window == x11Window) {
            return window.id;
        }
    }
    // A compositor that tells no X11 ids: the one entry of the window's
    // title among those it does not say are its own clients.
    std::string title;
    bool found = false;
    for (const TopLevelWindow& window : x11_->topLevelWindows()) {
        if (window.id == x11Window) {
            title = window.title;
            found = true;
        }
    }
    WindowId twin = 0;
    int twins = 0;
    for (const TopLevelWindow& window : natives) {
        if (found && window.kind == WindowKind::Unknown && window.title == title) {
            twin = window.id;
            ++twins;
        }
    }
    // Two windows of one title: which is which cannot be told.
    return twins == 1 ? twin : 0;
}

bool JointDesktop::pointerInto(WindowId window) {
    aim_ = window;
    return wayOf(window).pointerInto(window);
}

bool JointDesktop::nativeAim() {
    return aim_ != 0 ? isNative(aim_) : nativeInFront() != 0;
}

bool JointDesktop::bringingForward() {
    // The native side's answer first: it is nearly always no, and the aim
    // may walk the X11 windows.
    return native_->bringingForward() && nativeAim();
}

KeySendResult JointDesktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    const bool nativeAim = this->nativeAim();
    const auto goesNative = [&](const KeyStroke& stroke) {
        return !stroke.down && stroke.pressed ? (*stroke.pressed & kNativeKey) != 0 : nativeAim;
    };
    // Runs of strokes that go the same way are sent together, in order.
    KeySendResult result;
    for (auto run = strokes.begin(); run != strokes.end();) {
        const bool native = goesNative(*run);
        const auto end = std::find_if(run, strokes.end(),
                                      [&](const KeyStroke& s) { return goesNative(s) != native; });
        std::vector<KeyStroke> part(run, end);
        if (native) {
            for (KeyStroke& stroke : part) {
                if (stroke.pressed) {
                    stroke.pressed = *stroke.pressed & ~kNativeKey;
                }
            }
        }
        KeySendResult sent = (native ? *native_ : *x11_).sendKeys(part);
        if (sent.outcome != KeySendOutcome::Sent && result.outcome != KeySendOutcome::Denied) {
            result.outcome = sent.outcome;
            result.why = sent.why;
        }
        for (std::optional<SystemKey>& key : sent.keys) {
            result.keys.push_back(key && native ? std::optional(*key | kNativeKey) : key);
        }
        run = end;
    }
    return result;
}

bool JointDesktop::ownWindowHasKeyboard() {
    // The compositor knows first: Xwayland hears that its window lost the
    // keyboard to a native one a moment after the compositor says so.
    if (nativeInFront() != 0 || bringingForward()) {
        return false;
    }
    return x11_->ownWindowHasKeyboard() || native_->ownWindowHasKeyboard();
}

WindowId JointDesktop::nativeInFront() {
    const WindowId inFront = native_->activeWindow();
    if (inFront == 0) {
        return 0;
    }
    const auto natives = nativeOnly(x11_->topLevelWindows());
    const bool native = std::any_of(natives.begin(), natives.end(),
                                    [&](const TopLevelWindow& w) { return w.id == inFront; });
    return native ? inFront : 0;
}

WindowId JointDesktop::activeWindow() {
    if (const WindowId native = nativeInFront()) {
        return native;
    }
    if (const WindowId x11 = x11_->activeWindow()) {
        return x11;
    }
    // No X11 window has the keyboard, and the compositor tells no native
    // one (GNOME): a native window has it, unless ours does.
    const auto natives = native_->topLevelWindows();
    const bool inFrontListed =
        std::any_of(natives.begin(), natives.end(),
                    [](const TopLevelWindow& window) { return window.id == kWindowInFront; });
    return inFrontListed && !x11_->ownWindowHasKeyboard() ? kWindowInFront : 0;
}

}  // namespace quindorel
