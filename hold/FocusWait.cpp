#include "hold/FocusWait.h"

#include "hold/HoldNotices.h"
#include "platform/Clock.h"
#include "platform/Platform.h"

namespace quindorel {

namespace {

// How often a waiting press looks whether the keyboard has left our window.
constexpr int kFocusPollMs = 100;

}  // namespace

FocusWait::FocusWait(Platform& platform, Clock& clock, HoldNotices& notices)
    : platform_(platform), clock_(clock), notices_(notices) {}

void FocusWait::begin(Keys keys, const QString& windowName) {
    keys_ = std::move(keys);
    clock_.setEnabled(true);
    clock_.setInterval(kFocusPollMs);
    // With no window of its own to bring, the hold waits for the user's click.
    notices_.show(
        keys_.target == kWindowInFront
            ? QStringLiteral("Quindorel's own window has the keyboard, so the keys are not down "
                             "yet. Click the window they are for: they go down as soon as it has "
                             "the keyboard.")
            : QStringLiteral("The desktop did not bring %1 to the front, so the keys are not "
                             "down yet. Click %1: they go down as soon as it has the keyboard.")
                  .arg(windowName));
}

void FocusWait::end() {
    keys_.downs.clear();
    clock_.setEnabled(false);
    // A notice about the mouse buttons goes with the pass that showed it too.
    if (notices_.shown()) {
        notices_.show(QString());
    }
}

std::optional<FocusWait::Keys> FocusWait::takeOnceKeyboardLeft() {
    if (platform_.desktop().ownWindowHasKeyboard()) {
        return std::nullopt;
    }
    Keys keys = std::move(keys_);
    end();
    return keys;
}

}  // namespace quindorel
