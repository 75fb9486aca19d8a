// Stores arbitrary text under the five settings that start-up reads, runs the
// start-up sequence of the main window on the fake platform, and checks that it
// ends with the controls in a state the settings allow.
//
// Input: the values of Text1, OftenIndex, BackupSwitch, Option1 and Option2,
// separated by NUL bytes, then the answers to the seconds prompt, also
// NUL-separated. A missing value, or one that is the single byte 0x01, is not
// stored, so its default applies. After the given answers the prompt gets "1".
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <limits>

#include "FuzzSupport.h"
#include "app/MainWindow.h"
#include "common/ErrorTrap.h"
#include "hold/ClockCounts.h"
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
        MainWindow window(platform, environment->programFolder);
        window.formLoad();  // a hang here is caught by libFuzzer's -timeout
        window.formShown();

        const FormControls& c = window.controls();
        const int custom = window.model().counts.customHoldSeconds;
        expect(custom >= std::numeric_limits<std::int16_t>::min() &&
                   custom <= std::numeric_limits<std::int16_t>::max(),
               "custom seconds outside the 16-bit range");
        expect(platform.prompts.size() + static_cast<qsizetype>(platform.answers.size()) ==
                   scriptedAnswers,
               "prompts and answers do not add up");
        expect(platform.prompts.size() <= scriptedAnswers, "prompted more often than answered");

        // The switch is on exactly when "On" was stored, letter case and all,
        // and there is a hold length: "X seconds" needs one from 1 up.
        const bool customRow = c.holdList->currentItem() != nullptr &&
                               c.holdList->currentItem()->text(0) == QLatin1String("X seconds");
        const bool on =
            switchStored && backupSwitch == QLatin1String("On") && (!customRow || custom > 0);
        expect(
            c.switchButton->text() == (on ? QLatin1String("Turn Off") : QLatin1String("Turn On")),
            "switch caption does not follow BackupSwitch", backupSwitch);
        expect(window.model().waitClock->interval() == (on ? 1000 : 0),
               "wait clock does not follow BackupSwitch");
        expect(!(c.foreverOption->isChecked() && c.timedOption->isChecked()),
               "both options selected");
        expect(c.waitField->text() == platform.store.value(QStringLiteral("Text1")),
               "waiting time shown is not the one saved");
        for (const FakePlatform::Message& message : platform.messages) {
            // The only other boxes: what is wrong with an answer to the prompt.
            expect(message.title == ErrorTrap::reportTitle() ||
                       message.text.startsWith(QLatin1String("Please enter a ")),
                   "a box other than an error report", message.text);
        }
    }
    // Widgets deleted later would otherwise pile up: no event loop runs here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
