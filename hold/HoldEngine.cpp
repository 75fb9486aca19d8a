#include "hold/HoldEngine.h"

#include <algorithm>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "hold/ClockCounts.h"
#include "hold/Durations.h"
#include "hold/HoldLog.h"
#include "hold/HoldNotices.h"
#include "hold/SettingNames.h"
#include "hold/UserChoices.h"
#include "keys/KeySetFile.h"
#include "platform/Platform.h"
#include "targets/TargetFinder.h"

namespace quindorel {

HoldEngine::HoldEngine(Platform& platform, const Clocks& clocks, UserChoices& choices,
                       ClockCounts& counts, Durations& durations, TargetFinder& targetFinder,
                       const KeySetFile& keySetFile, HoldNotices& notices)
    : platform_(platform),
      clocks_(clocks),
      choices_(choices),
      counts_(counts),
      durations_(durations),
      targetFinder_(targetFinder),
      keySetFile_(keySetFile),
      notices_(notices) {
    clocks_.focusClock->setOnTick([this] { focusClockTick(); });
}

namespace {

// A hand presses Shift, Ctrl, Alt and the Windows keys before the keys they
// change and lets them go after; each group keeps the key set's order.
void putModifiersFirst(std::vector<KeyStroke>& strokes) {
    std::stable_partition(strokes.begin(), strokes.end(),
                          [](const KeyStroke& s) { return isModifierKey(s.virtualKey); });
}
void putModifiersLast(std::vector<KeyStroke>& strokes) {
    std::stable_partition(strokes.begin(), strokes.end(),
                          [](const KeyStroke& s) { return !isModifierKey(s.virtualKey); });
}

// How often a waiting press looks whether the keyboard has left our window.
constexpr int kFocusPollMs = 100;

}  // namespace

HoldEngine::PassScope::~PassScope() {
    if (--engine_.passes_ > 0) {
        return;
    }
    while (!engine_.afterPass_.empty()) {
        const std::function<void()> step = std::move(engine_.afterPass_.front());
        engine_.afterPass_.pop_front();
        step();  // each step is a trapped procedure of its own: it never throws
    }
}

bool HoldEngine::deferDuringPass(std::function<void()> step) {
    if (passes_ == 0) {
        return false;
    }
    afterPass_.push_back(std::move(step));
    return true;
}

void HoldEngine::holdKeys(Pass pass, std::optional<WindowId> aim) {
    if (deferDuringPass([this, pass, aim] { holdKeys(pass, aim); })) {
        return;
    }
    const PassScope scope(*this);
    ErrorTrap trap(platform_, QStringLiteral("Form1.HoldKeys"));
    NativeDesktop& desktop = platform_.desktop();
    trap.run(100, [&] { armHoldClock(pass); });
    if (!aim && trap.test(102, [&] { return targetFinder_.rowCount() == 0; })) {
        return;
    }
    // The selected row is read at each step, as the user may not have one.
    const auto target = [&] { return aim ? *aim : targetFinder_.selectedHandle(); };
    if (trap.test(104, [&] { return target() != targetFinder_.mainWindowHandle(); })) {
        trap.run(106, [&] { desktop.makeTopMost(target()); });
        trap.run(108, [&] { desktop.showWindow(target()); });
        std::vector<KeyStroke> strokes = keySetStrokes(trap, pass);
        if (pass == Pass::Press) {
            press(trap, std::move(strokes), aim ? *aim : aimedAt());
        } else {
            release(trap, std::move(strokes));
        }
        trap.run(112, [&] { desktop.releaseTopMost(target()); });
    }
    trap.run(114, [&] { targetFinder_.getAllWindows(); });
}

void HoldEngine::armHoldClock(Pass pass) {
    Clock& holdClock = *clocks_.holdClock;
    if (choices_.mode() == UserChoices::Mode::Timed) {
        holdClock.setEnabled(true);
        holdClock.setInterval(1000);
        // Each hold counts its own length: without this, a second timed
        // hold would wait for a count that has long gone past.
        if (pass == Pass::Press) {
            counts_.holdTicks = 0;
        }
    } else {
        holdClock.setEnabled(false);
        holdClock.setInterval(0);
    }
}

WindowId HoldEngine::aimedAt() const {
    // Without a selected row the keys go wherever the focus is (reported at
    // each step): there is no window to bring back for them.
    try {
        return targetFinder_.selectedHandle();
    } catch (const RuntimeError&) {
        return 0;
    }
}

void HoldEngine::press(ErrorTrap& trap, std::vector<KeyStroke> downs, WindowId target) {
    stopWaitingForFocus();
    // A desktop that would not bring the target forward leaves the keyboard
    // with us, where Space or Enter would press our own buttons: the keys
    // wait until another window has it.
    if (!downs.empty() && platform_.desktop().ownWindowHasKeyboard()) {
        waitForFocus(std::move(downs), target);
    } else {
        sendDowns(trap, std::move(downs), target);
    }
}

void HoldEngine::release(ErrorTrap& trap, std::vector<KeyStroke> ups) {
    stopWaitingForFocus();
    addUnmarkedHeldKeys(ups);
    putModifiersLast(ups);
    send(trap, ups);
    held_.clear();
}

std::vector<KeyStroke> HoldEngine::keySetStrokes(ErrorTrap& trap, Pass pass) {
    const bool press = pass == Pass::Press;
    std::vector<KeyStroke> strokes;
    for (const KeySetFile::Code& code : keySetFile_.codes()) {
        trap.run(110, [&] {
            if (code.error) {
                throw *code.error;
            }
            KeyStroke stroke{code.key, press};
            // The key-up goes to the very key that went down, even if the
            // keyboard layout has changed since.
            if (const HeldKey* held = findHeld(code.key); held != nullptr && !press) {
                stroke.pressed = held->pressed;
            }
            strokes.push_back(stroke);
        });
    }
    if (press) {
        putModifiersFirst(strokes);
    }
    return strokes;
}

void HoldEngine::addUnmarkedHeldKeys(std::vector<KeyStroke>& ups) const {
    // Keys put down by earlier passes and unmarked since are released too,
    // or they would stay down for good.
    for (const HeldKey& held : held_) {
        if (std::none_of(ups.begin(), ups.end(),
                         [&](const KeyStroke& s) { return s.virtualKey == held.virtualKey; })) {
            ups.push_back({held.virtualKey, false, held.pressed});
        }
    }
}

KeySendResult HoldEngine::send(ErrorTrap& trap, const std::vector<KeyStroke>& strokes) {
    KeySendResult result;
    trap.run(110, [&] {
        result = platform_.desktop().sendKeys(strokes);
        // Windows drops input into a program that runs as administrator
        // and says so only through the count of events it took.
        if (result.outcome == KeySendOutcome::Refused) {
            qCDebug(lcHold, "the system refused %d key events of a pass",
                    static_cast<int>(strokes.size()));
            throw RuntimeError(RuntimeError::Code::PermissionDenied,
                               QStringLiteral("the system refused the key events "
                                              "(does the window run as administrator?)"));
        }
    });
    return result;
}

void HoldEngine::sendDowns(ErrorTrap& trap, std::vector<KeyStroke> downs, WindowId target) {
    // A button acts on the window under the pointer: the pointer goes over
    // the target first, and no button goes down over another window, least
    // of all over ours.
    const auto isButton = [](const KeyStroke& s) { return isMouseButton(s.virtualKey); };
    if (std::any_of(downs.begin(), downs.end(), isButton) &&
        (target == 0 || !platform_.desktop().pointerInto(target))) {
        std::erase_if(downs, isButton);
        notices_.show(
            QStringLiteral("The pointer could not be put over %1, so the mouse buttons are not "
                           "down.")
                .arg(windowName(target)));
    }
    keep(downs, send(trap, downs), target);
}

void HoldEngine::keep(const std::vector<KeyStroke>& downs, const KeySendResult& sent,
                      WindowId target) {
    for (std::size_t i = 0; i < downs.size() && i < sent.keys.size(); ++i) {
        if (sent.keys[i] && findHeld(downs[i].virtualKey) == nullptr) {
            held_.push_back({downs[i].virtualKey, *sent.keys[i]});
        }
    }
    heldIn_ = target;
}

void HoldEngine::waitForFocus(std::vector<KeyStroke> downs, WindowId target) {
    waiting_ = std::move(downs);
    waitingFor_ = target;
    clocks_.focusClock->setEnabled(true);
    clocks_.focusClock->setInterval(kFocusPollMs);
    notices_.show(
        QStringLiteral("The desktop did not bring %1 to the front, so the keys are not down "
                       "yet. Click %1: they go down as soon as it has the keyboard.")
            .arg(windowName(target)));
}

QString HoldEngine::windowName(WindowId window) const {
    const QString title = window == 0 ? QString() : targetFinder_.titleOf(window);
    return title.isEmpty() ? QStringLiteral("the chosen window")
                           : QStringLiteral("\u201C%1\u201D").arg(title);
}

void HoldEngine::stopWaitingForFocus() {
    if (waiting_.empty() && !clocks_.focusClock->running() && !notices_.shown()) {
        return;
    }
    waiting_.clear();
    clocks_.focusClock->setInterval(0);
    clocks_.focusClock->setEnabled(false);
    notices_.show(QString());
}

void HoldEngine::focusClockTick() {
    if (deferDuringPass([this] { focusClockTick(); })) {
        return;
    }
    const PassScope scope(*this);
    if (platform_.desktop().ownWindowHasKeyboard()) {
        return;
    }
    ErrorTrap trap(platform_, QStringLiteral("Form1.HoldKeys"));
    const std::vector<KeyStroke> downs = std::move(waiting_);
    stopWaitingForFocus();
    sendDowns(trap, downs, waitingFor_);
    // A timed hold lasts its length from its key-downs.
    if (choices_.mode() == UserChoices::Mode::Timed) {
        counts_.holdTicks = 0;
    }
}

void HoldEngine::waitClockTick() {
    if (deferDuringPass([this] { waitClockTick(); })) {
        return;
    }
    ErrorTrap trap(platform_, QStringLiteral("Form1.Timer1_Timer"));
    if (trap.test(100, [&] { return !choices_.switchOn(); })) {
        return;
    }
    trap.run(102, [&] {
        const QString& text = choices_.waitText();
        counts_.waitSeconds = convert::isNumeric(text) ? convert::toInteger32(text) : 0;
    });
    trap.run(104, [&] { ++counts_.waitTicks; });
    if (trap.test(106, [&] { return counts_.waitTicks == counts_.waitSeconds; })) {
        trap.run(108, [&] { holdKeys(Pass::Press); });
    }
}

void HoldEngine::holdClockTick() {
    if (deferDuringPass([this] { holdClockTick(); })) {
        return;
    }
    ErrorTrap trap(platform_, QStringLiteral("Form1.Timer2_Timer"));
    if (trap.test(100, [&] { return choices_.switchOn(); })) {
        return;
    }
    trap.run(102, [&] { counts_.holdSeconds = durations_.selectedHoldSeconds(); });
    trap.run(104, [&] { ++counts_.holdTicks; });
    if (trap.test(106, [&] { return counts_.holdTicks == counts_.holdSeconds; })) {
        trap.run(108, [&] { holdKeys(Pass::Release); });
    }
}

void HoldEngine::switchClicked() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton4_Click"));
    Clock& waitClock = *clocks_.waitClock;
    if (trap.test(100, [&] { return !choices_.switchOn(); })) {
        trap.run(102, [&] { choices_.setSwitchOn(true); });
        if (trap.test(104, [&] {
                return choices_.holdRowCount() > 0 && durations_.customRowSelected();
            })) {
            // Without a length the hold could never end: the switch stays off.
            if (!durations_.askCustomSeconds(trap, 106, 106, 106)) {
                trap.run(106, [&] { choices_.setSwitchOn(false); });
                return;
            }
        }
        // Every "Turn On" waits the whole waiting time again.
        trap.run(108, [&] {
            counts_.waitTicks = 0;
            waitClock.setInterval(1000);
        });
        trap.run(110, [&] { waitClock.setEnabled(true); });
        trap.run(112,
                 [&] { saveSetting(platform_, setting::kBackupSwitch, QStringLiteral("On")); });
    } else if (trap.test(114, [&] { return choices_.switchOn(); })) {
        trap.run(116, [&] { choices_.setSwitchOn(false); });
        trap.run(118, [&] { waitClock.setInterval(0); });
        trap.run(120, [&] { waitClock.setEnabled(false); });
        trap.run(122,
                 [&] { saveSetting(platform_, setting::kBackupSwitch, QStringLiteral("Off")); });
    }
}

void HoldEngine::holdNowClicked() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton2_Click"));
    if (trap.test(100, [&] { return targetFinder_.rowCount() == 0; })) {
        return;
    }
    trap.run(102, [&] { notices_.setBusy(true); });
    trap.run(104, [&] { waitClockTick(); });
    trap.run(106, [&] { notices_.setBusy(false); });
}

void HoldEngine::optionClicked() {
    // No trap of its own in the classic design; an error here must still never end the program.
    ErrorTrap trap(platform_, QStringLiteral("Form1.Option_Click"));
    const bool untilStopKey = choices_.mode() == UserChoices::Mode::UntilStopKey;
    const bool timed = choices_.mode() == UserChoices::Mode::Timed;
    trap.run(100, [&] {
        saveSetting(platform_, setting::kOption1, convert::fromBoolean(untilStopKey));
        saveSetting(platform_, setting::kOption2, convert::fromBoolean(timed));
    });
    Clock& stopKeyClock = *clocks_.stopKeyClock;
    if (untilStopKey) {
        trap.run(102, [&] { choices_.setHoldListEnabled(false); });
        trap.run(104, [&] { stopKeyClock.setEnabled(true); });
        trap.run(106, [&] { stopKeyClock.setInterval(10); });
    } else if (timed) {
        trap.run(108, [&] { choices_.setHoldListEnabled(true); });
        trap.run(110, [&] { stopKeyClock.setEnabled(false); });
        trap.run(112, [&] { stopKeyClock.setInterval(0); });
    }
}

const HoldEngine::HeldKey* HoldEngine::findHeld(std::uint8_t virtualKey) const {
    const auto held = std::find_if(held_.begin(), held_.end(),
                                   [&](const HeldKey& h) { return h.virtualKey == virtualKey; });
    return held == held_.end() ? nullptr : &*held;
}

std::vector<KeyStroke> HoldEngine::heldKeyUps() const {
    std::vector<KeyStroke> ups;
    for (const HeldKey& held : held_) {
        ups.push_back({held.virtualKey, false, held.pressed});
    }
    putModifiersLast(ups);
    return ups;
}

void HoldEngine::releaseHeldKeys() {
    if (deferDuringPass([this] { releaseHeldKeys(); })) {
        return;
    }
    const PassScope scope(*this);
    stopWaitingForFocus();
    if (held_.empty()) {
        return;
    }
    const std::vector<KeyStroke> ups = heldKeyUps();
    held_.clear();
    // As a release pass does: the window that got the key-downs takes the
    // focus first, so it is the one that sees the keys come up.
    NativeDesktop& desktop = platform_.desktop();
    if (heldIn_ != 0) {
        desktop.makeTopMost(heldIn_);
        desktop.showWindow(heldIn_);
    }
    desktop.sendKeys(ups);
    if (heldIn_ != 0) {
        desktop.releaseTopMost(heldIn_);
    }
}

HoldEngine::Status HoldEngine::status() const {
    Status status;
    if (!held_.empty()) {
        status.phase = Status::Phase::Holding;
        for (const HeldKey& key : held_) {
            status.keys.push_back(key.virtualKey);
        }
        status.window = heldIn_;
        // The hold clock counts only while the switch is off.
        if (choices_.mode() == UserChoices::Mode::Timed && !choices_.switchOn() &&
            clocks_.holdClock->running()) {
            try {
                const int left = durations_.selectedHoldSeconds() - counts_.holdTicks;
                status.secondsLeft = left > 0 ? left : -1;
            } catch (const RuntimeError&) {
                // No row: no length counts.
            }
        }
        return status;
    }
    if (!waiting_.empty()) {
        status.phase = Status::Phase::Waiting;  // for the keyboard to leave us
        return status;
    }
    if (choices_.switchOn()) {
        // The wait clock presses when its count equals the waiting time; a
        // time already passed, or one that is no number, never presses.
        try {
            const QString& text = choices_.waitText();
            const int wait = convert::isNumeric(text) ? convert::toInteger32(text) : 0;
            if (counts_.waitTicks < wait) {
                status.phase = Status::Phase::Waiting;
                status.secondsLeft = wait - counts_.waitTicks;
            }
        } catch (const RuntimeError&) {
            // Out of range: never presses.
        }
    }
    return status;
}

void HoldEngine::stopAll() {
    if (deferDuringPass([this] { stopAll(); })) {
        return;
    }
    stopWaitingForFocus();
    if (choices_.switchOn()) {
        switchClicked();
    }
    releaseHeldKeys();
    clocks_.holdClock->setInterval(0);
    clocks_.holdClock->setEnabled(false);
}

}  // namespace quindorel
