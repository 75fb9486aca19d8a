#include "platform/fake/FakeDesktop.h"

#include "platform/WindowTitle.h"

#include <algorithm>
#include <utility>

namespace quindorel {

std::vector<TopLevelWindow> FakeDesktop::topLevelWindows() {
    ++walkCount;
    std::vector<TopLevelWindow> result;
    for (const TopLevelWindow& window : windows) {
        if (window.id != vanishDuringWalk || vanishDuringWalk == 0) {
            result.push_back(window);
            result.back().title = cutTitle(window.title);  // as every desktop cuts it
        }
    }
    return result;
}

void FakeDesktop::makeTopMost(WindowId window) {
    calls << QStringLiteral("topmost %1").arg(window);
}

void FakeDesktop::releaseTopMost(WindowId window) {
    calls << QStringLiteral("release %1").arg(window);
}

void FakeDesktop::showWindow(WindowId window) {
    calls << QStringLiteral("show %1").arg(window);
    if (!refuseActivation && !deadWindows.contains(window)) {
        ownWindowFocused = false;
    }
    if (whileShowing) {
        std::exchange(whileShowing, nullptr)();
    }
}

KeySendResult FakeDesktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    const bool downs = std::any_of(strokes.begin(), strokes.end(),
                                   [](const KeyStroke& stroke) { return stroke.down; });
    if (downs && !refusal_.empty()) {
        return {KeySendOutcome::Denied, std::vector<std::optional<SystemKey>>(strokes.size()),
                std::exchange(refusal_, {})};
    }
    if (downs && (askFirst || asking || comingForward)) {
        askFirst = false;
        asking = true;
        calls << QStringLiteral("ask");
        return {KeySendOutcome::Asking, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
    }
    if (!denyKeys.empty()) {
        return {KeySendOutcome::Denied, std::vector<std::optional<SystemKey>>(strokes.size()),
                denyKeys};
    }
    KeySendResult result;
    result.outcome = refuseKeys ? KeySendOutcome::Refused : KeySendOutcome::Sent;
    for (const KeyStroke& stroke : strokes) {
        const auto mapped = layout.find(stroke.virtualKey);
        const SystemKey key = stroke.pressed.value_or(
            mapped != layout.end() ? mapped->second : SystemKey{stroke.virtualKey});
        calls << QStringLiteral("%1%2 %3")
                     .arg(isMouseButton(stroke.virtualKey) ? QStringLiteral("button ") : QString())
                     .arg(stroke.down ? QStringLiteral("down") : QStringLiteral("up"))
                     .arg(key);
        result.keys.push_back(key);
    }
    return result;
}

bool FakeDesktop::pointerInto(WindowId window) {
    calls << QStringLiteral("pointer into %1").arg(window);
    return pointerReaches;
}

bool FakeDesktop::setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) {
    if (action == KeyAction::StopHold) {
        calls << QStringLiteral("stopkey %1").arg(owner);
        return hotKeyAvailable;
    }
    if (!key) {
        calls << QStringLiteral("togglekey none");
        return true;
    }
    calls
        << QStringLiteral("togglekey %1+%2 %3").arg(key->modifiers).arg(key->virtualKey).arg(owner);
    return std::find(takenKeys.begin(), takenKeys.end(), *key) == takenKeys.end();
}

QStringList FakeDesktop::keyCalls() const {
    QStringList keys;
    for (const QString& call : calls) {
        if (call.startsWith(QLatin1String("down ")) || call.startsWith(QLatin1String("up ")) ||
            call.startsWith(QLatin1String("button "))) {
            keys << call;
        }
    }
    return keys;
}

void FakeDesktop::answerPermission(const std::string& refusal) {
    asking = false;
    refusal_ = refusal;
    if (permissionAnswered_) {
        permissionAnswered_(refusal.empty());
    }
}

}  // namespace quindorel
