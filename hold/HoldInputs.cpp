#include "hold/HoldInputs.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <array>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/SelectedRow.h"
#include "hold/HoldSettings.h"
#include "hold/HoldState.h"
#include "platform/Platform.h"

namespace quindorel {

const QString HoldInputs::kCustomRow = QStringLiteral("X seconds");

HoldInputs::HoldInputs(Platform& platform, HoldState& state, QTreeWidget* holdList,
                       QLineEdit* waitField)
    : platform_(platform), state_(state), holdList_(holdList), waitField_(waitField) {}

const QStringList HoldInputs::kRows = {QStringLiteral("1 second"), QStringLiteral("5 seconds"),
                                       QStringLiteral("10 seconds"), QStringLiteral("60 seconds"),
                                       kCustomRow};

namespace {

// The lengths of the rows of kRows, in order; the row after them is "X seconds".
constexpr std::array<std::int32_t, 4> kRowSeconds = {1, 5, 10, 60};

qsizetype selectedIndex(QTreeWidget* list) {
    return list->indexOfTopLevelItem(selectedRow(list));
}

}  // namespace

std::int32_t HoldInputs::selectedHoldSeconds() const {
    const qsizetype row = selectedIndex(holdList_);
    if (row >= 0 && row < qsizetype(kRowSeconds.size())) {
        return kRowSeconds[std::size_t(row)];
    }
    return row == kRows.indexOf(kCustomRow) ? state_.customHoldSeconds : 0;
}

bool HoldInputs::customRowSelected() const {
    return selectedIndex(holdList_) == kRows.indexOf(kCustomRow);
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
