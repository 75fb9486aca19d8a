#include "hold/HoldModel.h"

#include <algorithm>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "hold/SettingNames.h"
#include "keys/HotKeyNames.h"
#include "keys/KeyTable.h"
#include "platform/Platform.h"

namespace quindorel {

HoldModel::HoldModel(Platform& platform, const QString& programFolder)
    : platform_(platform),
      waitClock_(platform_.createClock()),
      holdClock_(platform_.createClock()),
      stopKeyClock_(platform_.createClock()),
      focusClock_(platform_.createClock()),
      targetFinder_(platform_, targets_),
      keySetFile_(platform_, marks_, programFolder),
      markActions_(platform_, marks_, keySetFile_),
      durations_(platform_, counter_, choices_),
      engine_(platform_,
              {waitClock_.get(), holdClock_.get(), stopKeyClock_.get(), focusClock_.get()},
              choices_, counter_, durations_, targetFinder_, keySetFile_, notices_),
      stopHotKey_(
          platform_, *stopKeyClock_, [this] { return targetFinder_.mainWindowHandle(); },
          [this] { engine_.holdKeys(HoldEngine::Pass::Release); }),
      toggleHotKey_(platform_, [this] { return targetFinder_.mainWindowHandle(); }) {
    // The start/stop key's presses come from the key chosen here or from
    // the one a desktop with shortcuts of its own keeps for the action (KDE).
    platform_.setKeyActionHandler([this](KeyAction action) {
        action == KeyAction::StopHold ? stopHotKey_.pressed() : toggleFromKey();
    });
    waitClock_->setOnTick([this] { engine_.waitClockTick(); });
    holdClock_->setOnTick([this] { engine_.holdClockTick(); });
    stopKeyClock_->setOnTick([this] { stopHotKey_.clockTick(); });
}

void HoldModel::load(ErrorTrap& trap, WindowId mainWindow) {
    trap.run(126, [&] { targetFinder_.setMainWindowHandle(mainWindow); });
    trap.run(128, [&] { counter_.setCustomHoldSeconds(0); });
    trap.run(132, [&] {
        // As typed: the field saves each change of its text.
        const QString text = getSetting(platform_, setting::kText1, QStringLiteral("1"));
        if (text != choices_.waitText()) {
            typeWaitTime(text);
        }
    });
    trap.run(142, [&] { targetFinder_.getAllWindows(); });
    // The question about "X seconds" waits until the window is shown
    // (loadShown), and so does the wait clock, which needs its answer.
    const bool customLengthAsked = loadHoldRows(trap);
    loadSwitch(trap, customLengthAsked);
    loadOptions(trap);
    trap.run(206, [&] { keySetFile_.readKeySets(); });
    toggleHotKey_.setUp();
}

QString HoldModel::chooseToggleKey(std::optional<HotKey> key) {
    if (key == kStopHotKey) {
        return QStringLiteral("Ctrl+Shift+S stops the hold already");
    }
    for (std::size_t i = 0; key && i < keyTable().size(); ++i) {
        if (keyTable()[i].code == key->virtualKey && marks_.marked(static_cast<int>(i))) {
            return QStringLiteral("%1 is one of the marked keys, which a hold presses")
                .arg(hotKeyName(HotKey{key->virtualKey, 0}));
        }
    }
    if (!toggleHotKey_.choose(key)) {
        return QStringLiteral("%1 is taken by another program").arg(hotKeyName(*key));
    }
    return {};
}

void HoldModel::toggleFromKey() {
    // A key the hold put down itself (a key marked after it was chosen):
    // not the user's press.
    const HoldEngine::Status now = status();
    const std::uint8_t key = toggleHotKey_.key() ? toggleHotKey_.key()->virtualKey : 0;
    if (std::find(now.keys.begin(), now.keys.end(), key) != now.keys.end()) {
        return;
    }
    // The window in front is the game the key was pressed in.
    switch (toggle([this] { return platform_.desktop().activeWindow(); })) {
        case CommandResult::Done:
        case CommandResult::Busy:
            return;
        case CommandResult::NoKeys:
            notices_.show(QStringLiteral("The start/stop key found no key marked."));
            return;
        case CommandResult::NoTarget:
            notices_.show(QStringLiteral(
                "The start/stop key found no window to hold into: choose one in the list."));
            return;
        case CommandResult::NoLength:
            notices_.show(
                QStringLiteral("\"X seconds\" has no length yet: give it with \"Turn On\"."));
            return;
    }
}

bool HoldModel::loadHoldRows(ErrorTrap& trap) {
    for (int i = 0; i < Durations::kRows.size(); ++i) {
        trap.run(148 + 2 * i, [&] { choices_.setHoldRowCount(i + 1); });
    }
    // As the classic list control does, a filled list starts with its first row selected.
    choices_.setHoldRow(0);

    int remembered = 0;
    trap.run(158, [&] {
        remembered =
            convert::toInteger16(getSetting(platform_, setting::kOftenIndex, QStringLiteral("2")));
    });
    trap.run(160, [&] {
        if (remembered < 1 || remembered > choices_.holdRowCount()) {
            throw RuntimeError(
                RuntimeError::Code::SubscriptOutOfRange,
                QStringLiteral("no row %1 in the \"Hold for...\" list").arg(remembered));
        }
        choices_.setHoldRow(remembered - 1);
    });
    return !trap.test(162, [&] { return choices_.holdRowCount() == 0; }) &&
           trap.test(164, [&] { return durations_.customRowSelected(); });
}

void HoldModel::loadSwitch(ErrorTrap& trap, bool customLengthAsked) {
    QString switchState;
    trap.run(172, [&] {
        switchState = getSetting(platform_, setting::kBackupSwitch, QStringLiteral("Off"));
    });
    if (trap.test(174, [&] { return switchState == QLatin1String("Off"); })) {
        trap.run(176, [&] { choices_.setSwitchOn(false); });
        trap.run(178, [&] { waitClock_->setInterval(0); });
    } else if (trap.test(180, [&] { return switchState == QLatin1String("On"); })) {
        trap.run(182, [&] { choices_.setSwitchOn(true); });
        if (!customLengthAsked) {
            trap.run(184, [&] { waitClock_->setInterval(1000); });
        }
    }
}

void HoldModel::loadOptions(ErrorTrap& trap) {
    // Selecting an option runs its click handler, which saves both options and
    // sets the "Hold for..." list and the stop-key clock for the selected mode.
    const auto restoreOption = [&](UserChoices::Mode mode, const QString& key,
                                   const char* fallback) {
        if (convert::toBoolean(getSetting(platform_, key, QLatin1String(fallback)))) {
            choices_.setMode(mode);
            engine_.optionClicked();
        }
    };
    trap.run(186, [&] { restoreOption(UserChoices::Mode::UntilStopKey, setting::kOption1, "1"); });
    trap.run(188, [&] { restoreOption(UserChoices::Mode::Timed, setting::kOption2, "0"); });
}

void HoldModel::loadShown(ErrorTrap& trap) {
    bool customRow = false;
    trap.run(164,
             [&] { customRow = choices_.holdRowCount() > 0 && durations_.customRowSelected(); });
    if (!customRow) {
        return;
    }
    const bool haveLength = durations_.askCustomSeconds(trap, 166, 168, 170);
    if (!choices_.switchOn()) {
        return;
    }
    if (haveLength) {
        trap.run(184, [&] { waitClock_->setInterval(1000); });
    } else {
        // No hold may start that nothing would end.
        trap.run(182, [&] { choices_.setSwitchOn(false); });
        trap.run(182,
                 [&] { saveSetting(platform_, setting::kBackupSwitch, QStringLiteral("Off")); });
    }
}

void HoldModel::toggleKey(int index) {
    markActions_.toggle(index);
}

void HoldModel::unmarkAllKeys() {
    markActions_.unmarkAll();
}

void HoldModel::markAllKeys() {
    markActions_.markAll();
}

void HoldModel::turnSwitch() {
    engine_.switchClicked();
}

void HoldModel::chooseMode(UserChoices::Mode mode) {
    choices_.setMode(mode);
    engine_.optionClicked();
}

void HoldModel::selectHoldRow(int row) {
    choices_.setHoldRow(row);
}

void HoldModel::chooseHoldRow(int row) {
    choices_.setHoldRow(row);
    durations_.holdListClicked();
}

void HoldModel::typeWaitTime(const QString& text) {
    choices_.setWaitText(text);
    durations_.waitTextChanged(text);
}

void HoldModel::holdNow() {
    engine_.holdNowClicked();
}

void HoldModel::refreshList() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton1_Click"));
    trap.run(100, [&] { targetFinder_.getAllWindows(); });
}

void HoldModel::chooseTarget(int row) {
    targets_.select(row);
}

HoldModel::CommandResult HoldModel::startNow(const WindowInFront& inFront) {
    if (engine_.status().phase != HoldEngine::Status::Phase::Idle || engine_.inPass()) {
        return CommandResult::Busy;
    }
    if (keySetFile_.codes().empty()) {
        return CommandResult::NoKeys;
    }
    WindowId aim = 0;
    try {
        aim = targetFinder_.selectedHandle();
    } catch (const RuntimeError&) {
        // No row chosen.
    }
    if (!targetFinder_.isOpen(aim)) {
        const WindowId front = inFront();
        aim = front != targetFinder_.mainWindowHandle() ? front : 0;
    }
    if (aim == 0) {
        return CommandResult::NoTarget;
    }
    // A box asking for the length would come up over the game: the user
    // gives it in the window first.
    if (choices_.mode() == UserChoices::Mode::Timed) {
        try {
            if (durations_.selectedHoldSeconds() <= 0) {
                return CommandResult::NoLength;
            }
        } catch (const RuntimeError&) {
            return CommandResult::NoLength;
        }
    }
    // The hold clock counts only while the switch is off, and a switch left
    // on would press again after its waiting time.
    if (choices_.switchOn()) {
        engine_.switchClicked();
    }
    engine_.holdKeys(HoldEngine::Pass::Press, aim);
    return CommandResult::Done;
}

HoldModel::CommandResult HoldModel::toggle(const WindowInFront& inFront) {
    if (engine_.status().phase == HoldEngine::Status::Phase::Idle) {
        return startNow(inFront);
    }
    stopNow();
    return CommandResult::Done;
}

void HoldModel::showHelp() {
    durations_.showHelp();
}

}  // namespace quindorel
