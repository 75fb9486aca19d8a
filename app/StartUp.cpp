#include "app/StartUp.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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
#include "hold/HoldEngine.h"
#include "hold/HoldInputs.h"
#include "keys/KeySetFile.h"
#include "platform/Platform.h"
#include "settings/SettingKeys.h"
#include "targets/ApplicationList.h"

namespace quindorel {

namespace {

const QStringList kHoldRows = {QStringLiteral("1 second"), QStringLiteral("5 seconds"),
                               QStringLiteral("10 seconds"), QStringLiteral("60 seconds"),
                               QStringLiteral("X seconds")};

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
    trap.run(132,
             [&] { c.text1->setText(getSetting(platform, setting::kText1, QStringLiteral("1"))); });

    trap.run(134, [&] { c.listView1->setColumnCount(1); });
    trap.run(136, [&] {
        c.listView1->setHeaderLabels(
            {QStringLiteral("Select One Application To Hold Into"), QStringLiteral("Handle")});
    });
    trap.run(138, [&] { setColumnWidth(c.listView1, 0, 8500); });
    trap.run(140, [&] { setColumnWidth(c.listView1, 1, 1); });
    trap.run(142, [&] { w.applications().getAllWindows(); });

    trap.run(144, [&] { c.listView2->setHeaderLabels({QStringLiteral("Hold for...")}); });
    trap.run(146, [&] { setColumnWidth(c.listView2, 0, 8000); });
    for (int i = 0; i < kHoldRows.size(); ++i) {
        trap.run(148 + 2 * i, [&] { new QTreeWidgetItem(c.listView2, QStringList{kHoldRows[i]}); });
    }
    // As the classic list control does, a filled list starts with its first row selected.
    c.listView2->setCurrentItem(c.listView2->topLevelItem(0));

    int remembered = 0;
    trap.run(158, [&] {
        remembered =
            convert::toInteger16(getSetting(platform, setting::kOftenIndex, QStringLiteral("2")));
    });
    trap.run(160, [&] {
        QTreeWidgetItem* row = c.listView2->topLevelItem(remembered - 1);
        if (remembered < 1 || row == nullptr) {
            throw RuntimeError(
                RuntimeError::Code::SubscriptOutOfRange,
                QStringLiteral("no row %1 in the \"Hold for...\" list").arg(remembered));
        }
        c.listView2->setCurrentItem(row);
    });
    // The question about "X seconds" waits until the window is shown
    // (runShown), and so does the wait clock, which needs its answer.
    const bool customLengthAsked = !trap.test(162, [&] {
        return c.listView2->topLevelItemCount() == 0;
    }) && trap.test(164, [&] { return w.inputs().customRowSelected(); });

    QString switchState;
    trap.run(172, [&] {
        switchState = getSetting(platform, setting::kBackupSwitch, QStringLiteral("Off"));
    });
    if (trap.test(174, [&] { return switchState == QLatin1String("Off"); })) {
        trap.run(176, [&] { c.pushButton4->setText(QStringLiteral("Turn On")); });
        trap.run(178, [&] { w.timer1().setInterval(0); });
    } else if (trap.test(180, [&] { return switchState == QLatin1String("On"); })) {
        trap.run(182, [&] { c.pushButton4->setText(QStringLiteral("Turn Off")); });
        if (!customLengthAsked) {
            trap.run(184, [&] { w.timer1().setInterval(1000); });
        }
    }

    // Selecting an option runs its click handler, which saves both options and
    // sets the "Hold for..." list and the stop-key clock for the selected mode.
    const auto restoreOption = [&](QRadioButton* option, const QString& key, const char* fallback) {
        if (convert::toBoolean(getSetting(platform, key, QLatin1String(fallback)))) {
            option->setChecked(true);
            w.engine().optionClicked();
        }
    };
    trap.run(186, [&] { restoreOption(c.option1, setting::kOption1, "1"); });
    trap.run(188, [&] { restoreOption(c.option2, setting::kOption2, "0"); });
    trap.run(206, [&] { w.keySetFile().readKeySets(true); });
}

void StartUp::runShown() {
    MainWindow& w = window_;
    Platform& platform = w.platform();
    const FormControls& c = w.controls();
    ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
    bool customRow = false;
    trap.run(164, [&] {
        customRow = c.listView2->topLevelItemCount() > 0 && w.inputs().customRowSelected();
    });
    if (!customRow) {
        return;
    }
    const bool haveLength = w.inputs().askCustomSeconds(trap, 166, 168, 170);
    if (c.pushButton4->text() != QLatin1String("Turn Off")) {
        return;
    }
    if (haveLength) {
        trap.run(184, [&] { w.timer1().setInterval(1000); });
    } else {
        // No hold may start that nothing would end.
        trap.run(182, [&] { c.pushButton4->setText(QStringLiteral("Turn On")); });
        trap.run(182,
                 [&] { saveSetting(platform, setting::kBackupSwitch, QStringLiteral("Off")); });
    }
}

}  // namespace quindorel
