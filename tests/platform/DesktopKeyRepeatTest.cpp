#include <QTemporaryDir>
#include <QtTest>

#include "platform/DesktopKeyRepeat.h"

using namespace quindorel;

namespace {

// A desktop's setting in memory: "off" switches repeat off; "!" cannot be read.
struct Stored {
    QString value;
};
class FakeSetting : public RepeatSetting {
public:
    explicit FakeSetting(Stored& stored) : stored_(stored) {}
    std::string desktop() const override { return "fake"; }
    std::optional<std::string> read() override {
        if (stored_.value == "!") {
            return std::nullopt;
        }
        return stored_.value.toStdString();
    }
    bool write(const std::string& value) override {
        stored_.value = QString::fromStdString(value);
        return true;
    }
    std::string off() const override { return "off"; }
    std::string fallback() const override { return "default-on"; }

private:
    Stored& stored_;
};

const KeyStroke aDown{65, true}, aUp{65, false}, buttonDown{1, true};
KeySendResult sentAs(SystemKey key) {
    return {KeySendOutcome::Sent, {key}, {}};
}

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
        QTest::newRow("no note") << QByteArray() << "off"
                                 << "off" << false;
        QTest::newRow("left off by a killed run") << head + "was=on\n"
                                                  << "off"
                                                  << "on" << false;
        QTest::newRow("the user's default") << head + "was=\n"
                                            << "off"
                                            << "" << false;
        QTest::newRow("changed by the user since") << head + "was=on\n"
                                                   << "slow"
                                                   << "slow" << false;
        QTest::newRow("cut short: repeat on") << head + "wa"
                                              << "off"
                                              << "default-on" << false;
        QTest::newRow("a line too many") << head + "was=on\nmore\n"
                                         << "off"
                                         << "default-on" << false;
        QTest::newRow("garbage names no desktop") << QByteArray("\xff\x00zz", 4) << "off"
                                                  << "off" << false;
        QTest::newRow("another desktop's")
            << QByteArray("quindorel key repeat 1\ndesktop=other\nwas=on\n") << "off"
            << "off" << false;
        QTest::newRow("unreadable setting: tried again later") << head + "was=on\n"
                                                               << "!"
                                                               << "!" << true;
    }
    void putsBackWhatTheNoteSays() {
        QFETCH(QByteArray, note);
        QFETCH(QString, now);
        QTemporaryDir folder;
        const RepeatNote repeatNote(folder.filePath("state/key-repeat").toStdString());
        if (!note.isEmpty()) {
            QVERIFY(QDir(folder.path()).mkpath("state"));
            QFile file(QString::fromStdString(repeatNote.path()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(note);
        }
        Stored stored{now};
        putBackNotedRepeat(repeatNote,
                           [&](const std::string& desktop) -> std::unique_ptr<RepeatSetting> {
                               return desktop == "fake" ? std::make_unique<FakeSetting>(stored)
                                                        : nullptr;
                           },
                           {});
        QTEST(stored.value, "after");
        QTEST(repeatNote.exists(), "noteKept");
    }

    // One run: off before the first key goes down, noted until it is back.
    void switchesOffWhileKeysAreDown_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("userSets");  // while held; empty: nothing
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("after");
        QTest::newRow("on, off, on again") << "on"
                                           << ""
                                           << "off"
                                           << "on";
        QTest::newRow("the user's default") << ""
                                            << ""
                                            << "off"
                                            << "";
        QTest::newRow("off already: left alone") << "off"
                                                 << ""
                                                 << "off"
                                                 << "off";
        QTest::newRow("changed by the user while held") << "on"
                                                        << "fast"
                                                        << "fast"
                                                        << "fast";
    }
    void switchesOffWhileKeysAreDown() {
        QFETCH(QString, before);
        QFETCH(QString, userSets);
        QTemporaryDir folder;
        const RepeatNote note(folder.filePath("state/key-repeat").toStdString());
        Stored stored{before};
        std::vector<bool> applied;
        DesktopKeyRepeat repeat(std::make_unique<FakeSetting>(stored), note, {}, {},
                                [&](bool on) { applied.push_back(on); });
        repeat.beforeSend({buttonDown});
        QCOMPARE(stored.value, before);  // buttons do not repeat
        repeat.beforeSend({aDown});
        const bool switched = before != "off";
        QCOMPARE(note.exists(), switched);
        if (switched) {
            QCOMPARE(note.read()->value, before.toStdString());
        }
        repeat.afterSend({aDown}, sentAs(30));
        if (!userSets.isEmpty()) {
            stored.value = userSets;
        }
        QTEST(stored.value, "held");
        repeat.afterSend({aUp}, sentAs(30));
        QTEST(stored.value, "after");
        QVERIFY(!note.exists());
        QCOMPARE(applied, switched ? (std::vector<bool>{false, true}) : std::vector<bool>());
    }

    void putsBackWhenDestroyedMidHold() {
        QTemporaryDir folder;
        const RepeatNote note(folder.filePath("key-repeat").toStdString());
        Stored stored{"on"};
        {
            DesktopKeyRepeat repeat(std::make_unique<FakeSetting>(stored), note, {}, {});
            repeat.beforeSend({aDown});
            repeat.afterSend({aDown}, sentAs(30));
            QCOMPARE(stored.value, "off");
        }
        QCOMPARE(stored.value, "on");
        QVERIFY(!note.exists());
    }

    void leavesRepeatOnWithoutANote() {
        Stored stored{"on"};
        DesktopKeyRepeat repeat(std::make_unique<FakeSetting>(stored),
                                RepeatNote("/proc/no-such-folder/key-repeat"), {}, {});
        repeat.beforeSend({aDown});
        QCOMPARE(stored.value, "on");
    }
};

QTEST_GUILESS_MAIN(DesktopKeyRepeatTest)
#include "DesktopKeyRepeatTest.moc"
