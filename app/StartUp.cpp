#include "app/StartUp.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "app/AppIcon.h"
#include "app/CursorFile.h"
#include "app/MainWindow.h"
#include "app/PointerRule.h"
#include "app/Skin.h"
#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/FileExists.h"
#include "common/ProgramFile.h"
#include "common/RuntimeError.h"
#include "hold/HoldChoices.h"
#include "hold/HoldEngine.h"
#include "hold/HoldInputs.h"
#include "hold/HoldSettings.h"
#include "keys/KeySetFile.h"
#include "platform/Platform.h"
#include "targets/ApplicationList.h"

namespace quindorel {

namespace {

void setColumnWidth(QTreeWidget* list, int column, int widthInTwips) {
    list->header()->setMinimumSectionSize(1);
    list->header()->setStretchLastSection(false);
    list->header()->resizeSection(column, std::max(1, twips(widthInTwips)));
}

}  // namespace

void StartUp::run() {
    MainWindow& w = window_;
    Platform& platform = w.platform();
    const FormControls& c = w.controls();
    HoldState& state = w.state();
    HoldChoices& choices = w.choices();
    ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));

    trap.run(100, [&] { applySkin(&w, w.programFolder()); });
    const QString cursorPath = programFile(w.programFolder(), QLatin1String(kCursorFileName));
    if (trap.test(104, [&] { return fileExists(cursorPath); })) {
        trap.run(106, [&] { w.pointer().setCustomCursor(loadCursorFile(cursorPath)); });
    }
    trap.run(126, [&] { w.applications().setMainWindowHandle(static_cast<WindowId>(w.winId())); });
    trap.run(128, [&] { state.customHoldSeconds = 0; });
    trap.run(130, [&] {
        w.setWindowTitle(QLatin1String(kCaption));
        w.setWindowIcon(appIcon());
        platform.setApplicationTitle(QLatin1String(kApplicationTitle));
    });
    trap.run(132, [&] {
        choices.setWaitText(getSetting(platform, setting::kText1, QStringLiteral("1")));
    });

    trap.run(134, [&] { c.appList->setColumnCount(1); });
    trap.run(136, [&] {
        c.appList->setHeaderLabels(
            {QStringLiteral("Select One Application To Hold Into"), QStringLiteral("Handle")});
    });
    trap.run(138, [&] { setColumnWidth(c.appList, 0, 8500); });
    trap.run(140, [&] { setColumnWidth(c.appList, 1, 1); });
    trap.run(142, [&] { w.applications().getAllWindows(); });

    trap.run(144, [&] { c.holdList->setHeaderLabels({QStringLiteral("Hold for...")}); });
    trap.run(146, [&] { setColumnWidth(c.holdList, 0, 8000); });
    for (int i = 0; i < HoldInputs::kRows.size(); ++i) {
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
    // (runShown), and so does the wait clock, which needs its answer.
    const bool customLengthAsked = !trap.test(162, [&] { return choices.holdRowCount() == 0; }) &&
                                   trap.test(164, [&] { return w.inputs().customRowSelected(); });

    QString switchState;
    trap.run(172, [&] {
        switchState = getSetting(platform, setting::kBackupSwitch, QStringLiteral("Off"));
    });
    if (trap.test(174, [&] { return switchState == QLatin1String("Off"); })) {
        trap.run(176, [&] { choices.setSwitchOn(false); });
        trap.run(178, [&] { w.waitClock().setInterval(0); });
    } else if (trap.test(180, [&] { return switchState == QLatin1String("On"); })) {
        trap.run(182, [&] { choices.setSwitchOn(true); });
        if (!customLengthAsked) {
            trap.run(184, [&] { w.waitClock().setInterval(1000); });
        }
    }

    // Selecting an option runs its click handler, which saves both options and
    // sets the "Hold for..." list and the stop-key clock for the selected mode.
    const auto restoreOption = [&](HoldChoices::Mode mode, const QString& key,
                                   const char* fallback) {
        if (convert::toBoolean(getSetting(platform, key, QLatin1String(fallback)))) {
            choices.setMode(mode);
            w.engine().optionClicked();
        }
    };
    trap.run(186, [&] { restoreOption(HoldChoices::Mode::UntilStopKey, setting::kOption1, "1"); });
    trap.run(188, [&] { restoreOption(HoldChoices::Mode::Timed, setting::kOption2, "0"); });
    trap.run(206, [&] { w.keySetFile().readKeySets(true); });
}

void StartUp::runShown() {
    MainWindow& w = window_;
    Platform& platform = w.platform();
    HoldChoices& choices = w.choices();
    ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
    bool customRow = false;
    trap.run(164,
             [&] { customRow = choices.holdRowCount() > 0 && w.inputs().customRowSelected(); });
    if (!customRow) {
        return;
    }
    const bool haveLength = w.inputs().askCustomSeconds(trap, 166, 168, 170);
    if (!choices.switchOn()) {
        return;
    }
    if (haveLength) {
        trap.run(184, [&] { w.waitClock().setInterval(1000); });
    } else {
        // No hold may start that nothing would end.
        trap.run(182, [&] { choices.setSwitchOn(false); });
        trap.run(182,
                 [&] { saveSetting(platform, setting::kBackupSwitch, QStringLiteral("Off")); });
    }
}

}  // namespace quindorel
