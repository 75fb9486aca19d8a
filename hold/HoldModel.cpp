#include "hold/HoldModel.h"

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "hold/SettingNames.h"
#include "platform/Platform.h"

namespace quindorel {

HoldModel::HoldModel(Platform& platform, const QString& programFolder)
    : platform(platform),
      waitClock(platform.createClock()),
      holdClock(platform.createClock()),
      stopKeyClock(platform.createClock()),
      focusClock(platform.createClock()),
      targetFinder(platform, targets),
      keySetFile(platform, marks, programFolder),
      markActions(platform, marks, keySetFile),
      durations(platform, counts, choices),
      engine(platform, {waitClock.get(), holdClock.get(), stopKeyClock.get(), focusClock.get()},
             choices, counts, durations, targetFinder, keySetFile),
      stopHotKey(
          platform, *stopKeyClock, [this] { return targetFinder.mainWindowHandle(); },
          [this] { engine.holdKeys(HoldEngine::Pass::Release); }) {
    waitClock->setOnTick([this] { engine.waitClockTick(); });
    holdClock->setOnTick([this] { engine.holdClockTick(); });
    stopKeyClock->setOnTick([this] { stopHotKey.clockTick(); });
}

void HoldModel::load(ErrorTrap& trap, WindowId mainWindow) {
    trap.run(126, [&] { targetFinder.setMainWindowHandle(mainWindow); });
    trap.run(128, [&] { counts.customHoldSeconds = 0; });
    trap.run(132, [&] {
        choices.setWaitText(getSetting(platform, setting::kText1, QStringLiteral("1")));
    });
    trap.run(142, [&] { targetFinder.getAllWindows(); });
    for (int i = 0; i < Durations::kRows.size(); ++i) {
        trap.run(148 + 2 * i, [&] { choices.setHoldRowCount(i + 1); });
    }
    // As the classic list control does, a filled list starts with its first row selected.
    choices.setHoldRow(0);

    int remembered = 0;
    trap.run(158, [&] {
        remembered =
            convert::toInteger16(getSetting(platform, setting::kOftenIndex, QStringLiteral("2")));
    });
    trap.run(160, [&] {
        if (remembered < 1 || remembered > choices.holdRowCount()) {
            throw RuntimeError(
                RuntimeError::Code::SubscriptOutOfRange,
                QStringLiteral("no row %1 in the \"Hold for...\" list").arg(remembered));
        }
        choices.setHoldRow(remembered - 1);
    });
    // The question about "X seconds" waits until the window is shown
    // (loadShown), and so does the wait clock, which needs its answer.
    const bool customLengthAsked = !trap.test(162, [&] { return choices.holdRowCount() == 0; }) &&
                                   trap.test(164, [&] { return durations.customRowSelected(); });

    QString switchState;
    trap.run(172, [&] {
        switchState = getSetting(platform, setting::kBackupSwitch, QStringLiteral("Off"));
    });
    if (trap.test(174, [&] { return switchState == QLatin1String("Off"); })) {
        trap.run(176, [&] { choices.setSwitchOn(false); });
        trap.run(178, [&] { waitClock->setInterval(0); });
    } else if (trap.test(180, [&] { return switchState == QLatin1String("On"); })) {
        trap.run(182, [&] { choices.setSwitchOn(true); });
        if (!customLengthAsked) {
            trap.run(184, [&] { waitClock->setInterval(1000); });
        }
    }

    // Selecting an option runs its click handler, which saves both options and
    // sets the "Hold for..." list and the stop-key clock for the selected mode.
    const auto restoreOption = [&](UserChoices::Mode mode, const QString& key,
                                   const char* fallback) {
        if (convert::toBoolean(getSetting(platform, key, QLatin1String(fallback)))) {
            choices.setMode(mode);
            engine.optionClicked();
        }
    };
    trap.run(186, [&] { restoreOption(UserChoices::Mode::UntilStopKey, setting::kOption1, "1"); });
    trap.run(188, [&] { restoreOption(UserChoices::Mode::Timed, setting::kOption2, "0"); });
    trap.run(206, [&] { keySetFile.readKeySets(); });
}

void HoldModel::loadShown(ErrorTrap& trap) {
    bool customRow = false;
    trap.run(164, [&] { customRow = choices.holdRowCount() > 0 && durations.customRowSelected(); });
    if (!customRow) {
        return;
    }
    const bool haveLength = durations.askCustomSeconds(trap, 166, 168, 170);
    if (!choices.switchOn()) {
        return;
    }
    if (haveLength) {
        trap.run(184, [&] { waitClock->setInterval(1000); });
    } else {
        // No hold may start that nothing would end.
        trap.run(182, [&] { choices.setSwitchOn(false); });
        trap.run(182,
                 [&] { saveSetting(platform, setting::kBackupSwitch, QStringLiteral("Off")); });
    }
}

void HoldModel::toggleKey(int index) {
    markActions.toggle(index);
}

void HoldModel::unmarkAllKeys() {
    markActions.unmarkAll();
}

void HoldModel::markAllKeys() {
    markActions.markAll();
}

void HoldModel::turnSwitch() {
    engine.switchClicked();
}

void HoldModel::chooseMode(UserChoices::Mode mode) {
    choices.setMode(mode);
    engine.optionClicked();
}

void HoldModel::chooseHoldRow(int row) {
    choices.setHoldRow(row);
    durations.holdListClicked();
}

void HoldModel::typeWaitTime(const QString& text) {
    choices.setWaitText(text);
    durations.waitTextChanged(text);
}

void HoldModel::holdNow() {
    engine.holdNowClicked();
}

void HoldModel::refreshList() {
    ErrorTrap trap(platform, QStringLiteral("Form1.PushButton1_Click"));
    trap.run(100, [&] { targetFinder.getAllWindows(); });
}

void HoldModel::chooseTarget(int row) {
    targets.select(row);
}

void HoldModel::showHelp() {
    durations.showHelp();
}

}  // namespace quindorel
