#include "hold/Durations.h"

#include <array>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "hold/ClockCounts.h"
#include "hold/SettingNames.h"
#include "hold/UserChoices.h"
#include "platform/Platform.h"

namespace quindorel {

const QString Durations::kCustomRow = QStringLiteral("X seconds");

Durations::Durations(Platform& platform, ClockCounter& counter, UserChoices& choices)
    : platform_(platform), counter_(counter), choices_(choices) {}

const QStringList Durations::kRows = {QStringLiteral("1 second"), QStringLiteral("5 seconds"),
                                      QStringLiteral("10 seconds"), QStringLiteral("60 seconds"),
                                      kCustomRow};

namespace {

// The lengths of the rows of kRows, in order; the row after them is "X seconds".
constexpr std::array<std::int32_t, 4> kRowSeconds = {1, 5, 10, 60};

// The selected row; the classic "Object variable not set" when there is none.
qsizetype selectedIndex(const UserChoices& choices) {
    if (choices.holdRow() < 0) {
        throw RuntimeError(RuntimeError::Code::ObjectVariableNotSet);
    }
    return choices.holdRow();
}

}  // namespace

std::int32_t Durations::selectedHoldSeconds() const {
    const qsizetype row = selectedIndex(choices_);
    if (row >= 0 && row < qsizetype(kRowSeconds.size())) {
        return kRowSeconds[std::size_t(row)];
    }
    return row == kRows.indexOf(kCustomRow) ? counter_.view().customHoldSeconds : 0;
}

bool Durations::customRowSelected() const {
    return selectedIndex(choices_) == kRows.indexOf(kCustomRow);
}

bool Durations::askCustomSeconds(ErrorTrap& trap, int promptLine, int testLine, int storeLine) {
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
            trap.run(storeLine,
                     [&] { counter_.setCustomHoldSeconds(convert::toInteger16(*answer)); });
            break;
        }
        platform_.messageBox(warning, QString(), MessageIcon::None);
    }
    return counter_.view().customHoldSeconds > 0;
}

void Durations::holdListClicked() {
    // No trap of its own in the classic design; an error here must still never end the program.
    ErrorTrap trap(platform_, QStringLiteral("Form1.ListView2_Click"));
    trap.run(100, [&] {
        saveSetting(platform_, setting::kOftenIndex, QString::number(selectedIndex(choices_) + 1));
    });
    trap.run(102, [&] { counter_.setHoldSeconds(selectedHoldSeconds()); });
    trap.run(104, [&] { counter_.restartHold(); });
}

std::int32_t Durations::waitSeconds() const {
    const QString& text = choices_.waitText();
    return convert::isNumeric(text) ? convert::toInteger32(text) : 0;
}

void Durations::waitTextChanged(const QString& text) {
    saveSetting(platform_, setting::kText1, text);
}

QString Durations::waitTextWarning(const QString& text) {
    if (!convert::isNumeric(text)) {
        return QStringLiteral("Please enter a numeric value.");
    }
    if (!(convert::toNumber(text) > 0)) {
        return QStringLiteral("Please enter a value more than 0.");
    }
    return {};
}

void Durations::showHelp() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton3_Click"));
    trap.run(100, [&] {
        platform_.messageBox(
            QStringLiteral("Before holding the key down you should give yourself a pause to switch "
                           "over to the appropriate application that requires the key-hold."),
            QString(), MessageIcon::None);
    });
}

}  // namespace quindorel
