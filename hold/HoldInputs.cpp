#include "hold/HoldInputs.h"

#include <array>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "hold/HoldChoices.h"
#include "hold/HoldSettings.h"
#include "hold/HoldState.h"
#include "platform/Platform.h"

namespace quindorel {

const QString HoldInputs::kCustomRow = QStringLiteral("X seconds");

HoldInputs::HoldInputs(Platform& platform, HoldState& state, HoldChoices& choices)
    : platform_(platform), state_(state), choices_(choices) {}

const QStringList HoldInputs::kRows = {QStringLiteral("1 second"), QStringLiteral("5 seconds"),
                                       QStringLiteral("10 seconds"), QStringLiteral("60 seconds"),
                                       kCustomRow};

namespace {

// The lengths of the rows of kRows, in order; the row after them is "X seconds".
constexpr std::array<std::int32_t, 4> kRowSeconds = {1, 5, 10, 60};

// The selected row; the classic "Object variable not set" when there is none.
qsizetype selectedIndex(const HoldChoices& choices) {
    if (choices.holdRow() < 0) {
        throw RuntimeError(RuntimeError::Code::ObjectVariableNotSet);
    }
    return choices.holdRow();
}

}  // namespace

std::int32_t HoldInputs::selectedHoldSeconds() const {
    const qsizetype row = selectedIndex(choices_);
    if (row >= 0 && row < qsizetype(kRowSeconds.size())) {
        return kRowSeconds[std::size_t(row)];
    }
    return row == kRows.indexOf(kCustomRow) ? state_.customHoldSeconds : 0;
}

bool HoldInputs::customRowSelected() const {
    return selectedIndex(choices_) == kRows.indexOf(kCustomRow);
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
        saveSetting(platform_, setting::kOftenIndex, QString::number(selectedIndex(choices_) + 1));
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
