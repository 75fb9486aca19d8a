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
                       ClockCounter& counter, Durations& durations, TargetFinder& targetFinder,
                       const KeySetFile& keySetFile, HoldNotices& notices)
    : platform_(platform),
      clocks_(clocks),
      choices_(choices),
      counter_(counter),
      durations_(durations),
      targetFinder_(targetFinder),
      keySetFile_(keySetFile),
      notices_(notices),
      focusWait_(platform, *clocks.focusClock, notices),
      statusReader_(choices, counter.view(), durations, *clocks.holdClock) {
    clocks_.focusClock->setOnTick([this] { focusClockTick(); });
    platform.desktop().onPermissionAnswered([this](bool granted) { permissionAnswered(granted); });
}

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
            counter_.restartHold();
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
    focusWait_.end();
    // A desktop that would not bring the target forward leaves the keyboard
    // with us, where Space or Enter would press our own buttons: the keys
    // wait until another window has it.
    if (!downs.empty() && platform_.desktop().ownWindowHasKeyboard()) {
        focusWait_.begin({std::move(downs), target}, windowName(target));
    } else {
        sendDowns(trap, std::move(downs), target);
    }
}

void HoldEngine::release(ErrorTrap& trap, std::vector<KeyStroke> ups) {
    focusWait_.end();
    endPermissionWait();
    held_.addMissingUps(ups);
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
            if (!press) {
                held_.aimUp(stroke);
            }
            strokes.push_back(stroke);
        });
    }
    if (press) {
        putModifiersFirst(strokes);
    }
    return strokes;
}

KeySendResult HoldEngine::send(ErrorTrap& trap, const std::vector<KeyStroke>& strokes) {
    KeySendResult result;
    trap.run(110, [&] {
        result = platform_.desktop().sendKeys(strokes);
        // The user turned the desktop's question down: nothing is held, so
        // the switch goes off, and the notice says why; no error.
        if (result.outcome == KeySendOutcome::Denied) {
            lastRefusal_ = result.why;
            const auto deny = [this, why = QString::fromStdString(result.why)] {
                stopAll();
                notices_.show(why);
            };
            if (!deferDuringPass(deny)) {
                deny();
            }
        }
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
    // A window on its way to the front: where it lies is known once it is
    // there, and the keys wait for it (Asking), the buttons too.
    const bool comingForward = platform_.desktop().bringingForward();
    const auto isButton = [](const KeyStroke& s) { return isMouseButton(s.virtualKey); };
    if (!comingForward && std::any_of(downs.begin(), downs.end(), isButton) &&
        (target == 0 || !platform_.desktop().pointerInto(target))) {
        std::erase_if(downs, isButton);
        notices_.show(
            QStringLiteral("The pointer could not be put over %1, so the mouse buttons are not "
                           "down.")
                .arg(windowName(target)));
    }
    const KeySendResult sent = send(trap, downs);
    if (sent.outcome == KeySendOutcome::Asking) {
        permissionWait_ = FocusWait::Keys{std::move(downs), target};
        // The desktop may have begun readying itself only now.
        waitIsForFront_ = comingForward || platform_.desktop().bringingForward();
        return;
    }
    if (sent.outcome == KeySendOutcome::Sent && !downs.empty()) {
        lastRefusal_.clear();
    }
    held_.keep(downs, sent, target);
}

QString HoldEngine::windowName(WindowId window) const {
    const QString title = window == 0 ? QString() : targetFinder_.titleOf(window);
    return title.isEmpty() ? QStringLiteral("the chosen window")
                           : QStringLiteral("\u201C%1\u201D").arg(title);
}

void HoldEngine::focusClockTick() {
    if (deferDuringPass([this] { focusClockTick(); })) {
        return;
    }
    const PassScope scope(*this);
    std::optional<FocusWait::Keys> keys = focusWait_.takeOnceKeyboardLeft();
    if (!keys) {
        return;
    }
    ErrorTrap trap(platform_, QStringLiteral("Form1.HoldKeys"));
    sendDowns(trap, std::move(keys->downs), keys->target);
    // A timed hold lasts its length from its key-downs.
    if (choices_.mode() == UserChoices::Mode::Timed) {
        counter_.restartHold();
    }
}

void HoldEngine::permissionAnswered(bool granted) {
    if (deferDuringPass([this, granted] { permissionAnswered(granted); })) {
        return;
    }
    if (!permissionWait_) {
        return;  // withdrawn meanwhile
    }
    {
        const PassScope scope(*this);
        FocusWait::Keys keys = std::move(*permissionWait_);
        permissionWait_.reset();
        ErrorTrap trap(platform_, QStringLiteral("Form1.HoldKeys"));
        // Granted, they go down now, unless the user has clicked into our
        // window meanwhile (or the desktop gave it the keyboard back as its
        // dialog closed): then they wait for the keyboard to leave it.
        // Turned down, the switch goes off and the notice says why at once,
        // wherever the keyboard is.
        if (granted) {
            press(trap, std::move(keys.downs), keys.target);
        } else {
            sendDowns(trap, std::move(keys.downs), keys.target);
        }
        // A timed hold lasts its length from its key-downs.
        if (choices_.mode() == UserChoices::Mode::Timed) {
            counter_.restartHold();
        }
    }
    if (permissionSettled_ && !permissionWait_) {
        permissionSettled_();
    }
}

void HoldEngine::endPermissionWait() {
    if (!permissionWait_) {
        return;
    }
    permissionWait_.reset();
    lastRefusal_.clear();  // withdrawn, not turned down
    platform_.desktop().withdrawPermissionRequest();
    if (permissionSettled_) {
        permissionSettled_();
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
    trap.run(102, [&] { counter_.setWaitSeconds(durations_.waitSeconds()); });
    trap.run(104, [&] { counter_.tickWait(); });
    if (trap.test(106, [&] { return counts().waitTicks == counts().waitSeconds; })) {
        trap.run(108, [&] { holdKeys(Pass::Press); });
    }
}

void HoldEngine::holdClockTick() {
    if (deferDuringPass([this] { holdClockTick(); })) {
        return;
    }
    if (permissionWait_) {
        return;  // a hold's length counts from its key-downs
    }
    ErrorTrap trap(platform_, QStringLiteral("Form1.Timer2_Timer"));
    if (trap.test(100, [&] { return choices_.switchOn(); })) {
        return;
    }
    trap.run(102, [&] { counter_.setHoldSeconds(durations_.selectedHoldSeconds()); });
    trap.run(104, [&] { counter_.tickHold(); });
    if (trap.test(106, [&] { return counts().holdTicks == counts().holdSeconds; })) {
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
            counter_.restartWait();
            waitClock.setInterval(1000);
        });
        trap.run(110, [&] { waitClock.setEnabled(true); });
        trap.run(112,
                 [&] { saveSetting(platform_, setting::kBackupSwitch, QStringLiteral("On")); });
    } else if (trap.test(114, [&] { return choices_.switchOn(); })) {
        trap.run(116, [&] {
            choices_.setSwitchOn(false);
            // Keys not down yet are not wanted now.
            focusWait_.end();
            endPermissionWait();
        });
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

void HoldEngine::releaseHeldKeys() {
    if (deferDuringPass([this] { releaseHeldKeys(); })) {
        return;
    }
    const PassScope scope(*this);
    focusWait_.end();
    endPermissionWait();
    if (held_.empty()) {
        return;
    }
    const std::vector<KeyStroke> ups = held_.takeUps();
    // As a release pass does: the window that got the key-downs takes the
    // focus first, so it is the one that sees the keys come up.
    NativeDesktop& desktop = platform_.desktop();
    const WindowId window = held_.window();
    if (window != 0) {
        desktop.makeTopMost(window);
        desktop.showWindow(window);
    }
    desktop.sendKeys(ups);
    if (window != 0) {
        desktop.releaseTopMost(window);
    }
}

HoldEngine::Status HoldEngine::status() const {
    Status status = statusReader_.read(held_.virtualKeys(), held_.window(), focusWait_.waiting());
    // Key-downs that wait for the desktop's dialog: neither idle nor
    // holding yet, and no clock counts towards them.
    if (status.phase != Status::Phase::Holding && permissionWait_) {
        status.phase = Status::Phase::Waiting;
        status.secondsLeft = -1;
        status.askingPermission = !waitIsForFront_;
        status.waitingForDesktop = true;
    }
    if (status.phase == Status::Phase::Idle) {
        status.lastRefusal = lastRefusal_;
    }
    return status;
}

const ClockCounts& HoldEngine::counts() const {
    return counter_.view();
}

void HoldEngine::stopAll() {
    if (deferDuringPass([this] { stopAll(); })) {
        return;
    }
    focusWait_.end();
    // The desktop's dialog closes: nothing goes down once it would have
    // been answered.
    endPermissionWait();
    if (choices_.switchOn()) {
        switchClicked();
    }
    releaseHeldKeys();
    clocks_.holdClock->setInterval(0);
    clocks_.holdClock->setEnabled(false);
}

}  // namespace quindorel
