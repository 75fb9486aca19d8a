#include "hold/HoldInputs.h"

#include <QLineEdit>
#include <QTreeWidget>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/SelectedRow.h"
#include "hold/HoldState.h"
#include "platform/Platform.h"
#include "settings/SettingKeys.h"

namespace quindorel {

const QString HoldInputs::kCustomRow = QStringLiteral("X seconds");

HoldInputs::HoldInputs(Platform& platform, HoldState& state, QTreeWidget* holdList,
                       QLineEdit* waitField)
    : platform_(platform), state_(state), holdList_(holdList), waitField_(waitField) {}

std::int32_t HoldInputs::selectedHoldSeconds() const {
    const QString text = selectedRow(holdList_)->text(0);
    // Tested in this order: "10 seconds" does not contain "1 second".
    if (text.contains(QLatin1String("1 second"))) {
        return 1;
    }
    if (text.contains(QLatin1String("5 seconds"))) {
        return 5;
    }
    if (text.contains(QLatin1String("10 seconds"))) {
        return 10;
    }
    if (text.contains(QLatin1String("60 seconds"))) {
        return 60;
    }
    if (text.contains(kCustomRow)) {
        return state_.customHoldSeconds;
    }
    return 0;
}

bool HoldInputs::customRowSelected() const {
    return selectedRow(holdList_)->text(0).contains(kCustomRow);
}

bool HoldInputs::askCustomSeconds(ErrorTrap& trap, int promptLine, int testLine, int storeLine) {
    for (;;) {
        std::optional<QString> answer;
        trap.run(promptLine, [&] {
            answer = platform_.inputBox(QStringLiteral("Enter number of second(s):"),
                                        QStringLiteral("Input Number Of Second(s)"), QString());
        });
        if (!answer) {
            break;  // dismissed: whatever length was in force stays
        }
        // A length that rounds to 0 or below would never end a hold.
        QString warning = waitTextWarning(*answer);
        if (warning.isEmpty() && convert::toNumber(*answer) <= 0.5) {
            warning = QStringLiteral("Please enter a value more than 0.");
        }
        if (trap.test(testLine, [&] { return warning.isEmpty(); })) {
            trap.run(storeLine, [&] { state_.customHoldSeconds = convert::toInteger16(*answer); });
            break;
        }
        platform_.messageBox(warning, QString(), MessageIcon::None);
    }
    return state_.customHoldSeconds > 0;
}

void HoldInputs::holdListClicked() {
    // No trap of its own in the classic design; an error here must still never end the program.
    ErrorTrap trap(platform_, QStringLiteral("Form1.ListView2_Click"));
    trap.run(100, [&] {
        QTreeWidgetItem* row = selectedRow(holdList_);
        saveSetting(platform_, setting::kOftenIndex,
                    QString::number(holdList_->indexOfTopLevelItem(row) + 1));
    });
    trap.run(102, [&] { state_.holdSeconds = selectedHoldSeconds(); });
    trap.run(104, [&] { state_.holdTicks = 0; });
}

void HoldInputs::waitTextChanged(const QString& text) {
    saveSetting(platform_, setting::kText1, text);
}

QString HoldInputs::waitTextWarning(const QString& text) {
    if (!convert::isNumeric(text)) {
        return QStringLiteral("Please enter a numeric value.");
    }
    if (!(convert::toNumber(text) > 0)) {
        return QStringLiteral("Please enter a value more than 0.");
    }
    return {};
}

void HoldInputs::showHelp() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton3_Click"));
    trap.run(100, [&] {
        platform_.messageBox(
            QStringLiteral("Before holding the key down you should give yourself a pause to switch "
                           "over to the appropriate application that requires the key-hold."),
            QString(), MessageIcon::None);
    });
}

}  // namespace quindorel
