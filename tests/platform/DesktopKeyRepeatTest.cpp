#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "platform/DesktopKeyRepeat.h"

using namespace quindorel;

namespace {

// A desktop's setting in memory: "off" switches repeat off; "!" cannot be read.
struct FakeSetting : RepeatSetting {
    explicit FakeSetting(QString& stored) : stored(stored) {}
    std::string desktop() const override { return "fake"; }
    std::optional<std::string> read() override {
        return stored == "!" ? std::nullopt : std::optional(stored.toStdString());
    }
    bool write(const std::string& value) override {
        stored = QString::fromStdString(value);
        return true;
    }
    std::string off() const override { return "off"; }
    std::string fallback() const override { return "default-on"; }
    QString& stored;
};

const KeyStroke aDown{65, true}, aUp{65, false}, buttonDown{1, true};
const KeySendResult sentA{KeySendOutcome::Sent, {30}, {}};

}  // namespace

class DesktopKeyRepeatTest : public QObject {
    Q_OBJECT
private slots:
    // The next start (or the guard) after a run that did not put it back.
    void putsBackWhatTheNoteSays_data() {
        QTest::addColumn<QByteArray>("note");  // empty: none
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("noteKept");
        const QByteArray head = "quindorel key repeat 1\ndesktop=fake\n";
        const auto row = [](const char* name, const QByteArray& note, const char* now,
                            const char* after, bool kept = false) {
            QTest::newRow(name) << note << QString(now) << QString(after) << kept;
        };
        row("no note", {}, "off", "off");
        row("left off by a killed run", head + "was=on\n", "off", "on");
        row("the user's default", head + "was=\n", "off", "");
        row("changed by the user since", head + "was=on\n", "slow", "slow");
        row("cut short: repeat on", head + "wa", "off", "default-on");
        row("a line too many", head + "was=on\nmore\n", "off", "default-on");
        row("another desktop's", "quindorel key repeat 1\ndesktop=other\nwas=on\n", "off", "off");
        row("unreadable setting: tried again later", head + "was=on\n", "!", "!", true);
    }
    void putsBackWhatTheNoteSays() {
        QFETCH(QByteArray, note);
        QFETCH(QString, now);
        QTemporaryDir folder;
        const RepeatNote repeatNote(folder.filePath("state/key-repeat").toStdString());
        if (QDir(folder.path()).mkpath("state") && !note.isEmpty()) {
            std::ofstream(repeatNote.path()) << note.toStdString();
        }
        QString stored = now;
        putBackNotedRepeat(repeatNote,
                           [&](const std::string& desktop) -> std::unique_ptr<RepeatSetting> {
                               return desktop == "fake" ? std::make_unique<FakeSetting>(stored)
                                                        : nullptr;
                           },
                           {});
        QTEST(stored, "after");
        QTEST(repeatNote.exists(), "noteKept");
    }

    // One run: off before the first key goes down, noted until it is back.
    void switchesOffWhileKeysAreDown_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("userSets");  // while held; empty: nothing
        QTest::addColumn<bool>("released");     // or destroyed with the key down
        QTest::addColumn<QString>("after");
        const auto row = [](const char* name, const char* before, const char* userSets,
                            bool released, const char* after) {
            QTest::newRow(name) << QString(before) << QString(userSets) << released
                                << QString(after);
        };
        row("on, off, on again", "on", "", true, "on");
        row("the user's default", "", "", true, "");
        row("off already: left alone", "off", "", true, "off");
        row("changed by the user while held", "on", "fast", true, "fast");
        row("destroyed mid-hold", "on", "", false, "on");
    }
    void switchesOffWhileKeysAreDown() {
        QFETCH(QString, before);
        QFETCH(QString, userSets);
        QFETCH(bool, released);
        QTemporaryDir folder;
        const RepeatNote note(folder.filePath("state/key-repeat").toStdString());
        QString stored = before;
        std::vector<bool> applied;
        {
            DesktopKeyRepeat repeat(std::make_unique<FakeSetting>(stored), note, {}, {},
                                    [&](bool on) { applied.push_back(on); });
            repeat.beforeSend({buttonDown});
            QCOMPARE(stored, before);  // buttons do not repeat
            repeat.beforeSend({aDown});
            repeat.afterSend({aDown}, sentA);
            const bool switched = before != "off";
            QCOMPARE(stored, switched ? "off" : before);
            QCOMPARE(note.read().value_or(RepeatNote::Content()).value,
                     switched ? before.toStdString() : "");
            QCOMPARE(applied, std::vector<bool>(switched ? 1 : 0, false));
            stored = userSets.isEmpty() ? stored : userSets;
            if (released) {
                repeat.afterSend({aUp}, sentA);
            }
        }
        QTEST(stored, "after");
        QVERIFY(!note.exists());
    }

    // Stopped while the key waited for clients to hear of it: back at once.
    void backWhenTheKeyNeverWentDown() {
        QTemporaryDir folder;
        const RepeatNote note(folder.filePath("state/key-repeat").toStdString());
        QString stored = "on";
        DesktopKeyRepeat repeat(std::make_unique<FakeSetting>(stored), note, {}, {});
        repeat.beforeSend({aDown});
        QCOMPARE(stored, "off");
        repeat.notSent();
        QCOMPARE(stored, "on");
        QVERIFY(!note.exists());
    }

    void leavesRepeatOnWithoutANote() {
        QString stored = "on";
        DesktopKeyRepeat repeat(std::make_unique<FakeSetting>(stored),
                                RepeatNote("/proc/no-such-folder/key-repeat"), {}, {});
        repeat.beforeSend({aDown});
        QCOMPARE(stored, "on");
    }
};

QTEST_GUILESS_MAIN(DesktopKeyRepeatTest)
#include "DesktopKeyRepeatTest.moc"
