// Stores arbitrary text under the five settings that start-up reads, runs the
// start-up sequence of the hold model on the fake platform, and checks that it
// ends in a state the settings allow.
//
// Input: the values of Text1, OftenIndex, BackupSwitch, Option1 and Option2,
// separated by NUL bytes, then the answers to the seconds prompt, also
// NUL-separated. A missing value, or one that is the single byte 0x01, is not
// stored, so its default applies. After the given answers the prompt gets "1".
#include <QList>
#include <limits>

#include "FuzzSupport.h"
#include "common/ErrorTrap.h"
#include "hold/ClockCounts.h"
#include "hold/HoldModel.h"
#include "platform/fake/FakePlatform.h"

using namespace quindorel;
using quindorel::fuzz::expect;

namespace {

const char* const kKeys[] = {"Text1", "OftenIndex", "BackupSwitch", "Option1", "Option2"};
constexpr int kSettingCount = 5;
// Enough answers for any scripted run: the prompt stops asking at the first number.
constexpr int kMaxAnswers = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::FuzzEnvironment* environment = new fuzz::FuzzEnvironment;
    const QList<QByteArray> fields =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0');
    if (fields.size() > kSettingCount + kMaxAnswers) {
        return -1;
    }

    FakePlatform platform;
    for (int i = 0; i < kSettingCount && i < fields.size(); ++i) {
        if (fields[i] != "\x01") {
            platform.store.set(QLatin1String(kKeys[i]), QString::fromUtf8(fields[i]));
        }
    }
    for (qsizetype i = kSettingCount; i < fields.size(); ++i) {
        platform.answers.push_back(QString::fromUtf8(fields[i]));
    }
    platform.answers.push_back(QStringLiteral("1"));
    const auto scriptedAnswers = static_cast<qsizetype>(platform.answers.size());
    const QString backupSwitch = platform.store.value(QStringLiteral("BackupSwitch"));
    const bool switchStored = platform.store.contains(QStringLiteral("BackupSwitch"));

    {
        HoldModel model(platform, environment->programFolder);
        {
            ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
            model.load(trap, 1);  // a hang here is caught by libFuzzer's -timeout
        }
        {
            ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
            model.loadShown(trap);
        }

        const UserChoices& choices = model.choices();
        const int custom = model.counts().customHoldSeconds;
        expect(custom >= std::numeric_limits<std::int16_t>::min() &&
                   custom <= std::numeric_limits<std::int16_t>::max(),
               "custom seconds outside the 16-bit range");
        expect(platform.prompts.size() + static_cast<qsizetype>(platform.answers.size()) ==
                   scriptedAnswers,
               "prompts and answers do not add up");
        expect(platform.prompts.size() <= scriptedAnswers, "prompted more often than answered");

        // The switch is on exactly when "On" was stored, letter case and all,
        // and there is a hold length: "X seconds" needs one from 1 up.
        const bool customRow = choices.holdRow() >= 0 &&
                               Durations::kRows.value(choices.holdRow()) == Durations::kCustomRow;
        const bool on =
            switchStored && backupSwitch == QLatin1String("On") && (!customRow || custom > 0);
        expect(choices.switchOn() == on, "switch does not follow BackupSwitch", backupSwitch);
        expect(model.waitClockRunning() == on, "wait clock does not follow BackupSwitch");
        expect(choices.waitText() == platform.store.value(QStringLiteral("Text1")),
               "waiting time shown is not the one saved");
        for (const FakePlatform::Message& message : platform.messages) {
            // The only other boxes: what is wrong with an answer to the prompt.
            expect(message.title == ErrorTrap::reportTitle() ||
                       message.text.startsWith(QLatin1String("Please enter a ")),
                   "a box other than an error report", message.text);
        }
    }
    return 0;
}
