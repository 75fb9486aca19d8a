#include <QtTest>

#include "platform/KeyLedger.h"

using namespace quindorel;

namespace {

QByteArray bytesOf(const std::vector<GuardNote>& notes) {
    const std::vector<std::uint8_t> bytes = encodeGuardNotes(notes);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Keys as an X11 guard hears of them: keycode, down, repeat, modifier.
const GuardNote ctrlDown{37, true, false, true}, shiftDown{50, true, false, true},
    aDown{38, true, true, false}, aUp{38, false, false, false}, upDown{111, true, true, false},
    enterDown{36, true, true, false}, enterAgain{36, true, false, false},
    shiftUp{50, false, false, true};

// What went over the link and when the events went, in order: one entry per
// write, an empty one for the send.
using Log = std::vector<std::vector<std::uint8_t>>;

class RecordingLink : public GuardLink {
public:
    RecordingLink(Log& log, bool& closed, bool broken)
        : log_(log), closed_(closed), broken_(broken) {}
    ~RecordingLink() override { closed_ = true; }
    bool write(const std::vector<std::uint8_t>& bytes) override {
        log_.push_back(bytes);
        return !broken_;
    }

private:
    Log& log_;
    bool& closed_;
    bool broken_;
};

}  // namespace

class KeyLedgerTest : public QObject {
    Q_OBJECT
private slots:
    void owesWhatIsStillDown_data() {
        QTest::addColumn<QByteArray>("told");
        QTest::addColumn<QByteArray>("owed");
        QTest::newRow("others in press order, then the modifiers")
            << bytesOf({ctrlDown, aDown, shiftDown, upDown, aUp, enterDown})
            << bytesOf({upDown, enterDown, ctrlDown, shiftDown});
        QTest::newRow("a key down twice is owed once, as its first press saw it")
            << bytesOf({enterDown, enterAgain}) << bytesOf({enterDown});
        QTest::newRow("an up without a down") << bytesOf({aUp, shiftDown}) << bytesOf({shiftDown});
        QTest::newRow("every key went up")
            << bytesOf({aDown, shiftDown, shiftUp, aUp}) << bytesOf({});
        // Windows keys: virtual key, scan code, extended flag.
        QTest::newRow("one virtual key at two places is two keys")
            << bytesOf({{0x27C0, true}, {0x29C0, true}, {0x27C0, false}})
            << bytesOf({{0x29C0, true}});
        QTest::newRow("flags, then the key from its low byte")
            << QByteArray("\x05\x01\x02\x03\x04", 5) << bytesOf({{0x04030201, true, false, true}});
        QTest::newRow("a note with flags not ours is skipped, the next one read")
            << QByteArray("\x81\x26\0\0\0", 5) + bytesOf({shiftDown}) << bytesOf({shiftDown});
        QTest::newRow("a note cut short at the end is none")
            << bytesOf({shiftDown}) + QByteArray("\x01\x26\0", 3) << bytesOf({shiftDown});
    }
    void owesWhatIsStillDown() {
        QFETCH(QByteArray, told);
        QFETCH(QByteArray, owed);
        // However the link cuts the notes into reads.
        for (const qsizetype readSize : {qsizetype(4096), qsizetype(1), qsizetype(3)}) {
            KeyLedger ledger;
            for (qsizetype at = 0; at < told.size(); at += readSize) {
                ledger.read(reinterpret_cast<const std::uint8_t*>(told.constData()) + at,
                            std::size_t(std::min(readSize, told.size() - at)));
            }
            QCOMPARE(bytesOf(ledger.owed()), owed);
        }
    }

    void garbageKeepsTheLedgerSmall() {
        std::vector<std::uint8_t> garbage(256 * 1024);
        std::uint32_t state = 1;
        for (std::uint8_t& byte : garbage) {
            state = state * 1103515245u + 12345u;
            byte = std::uint8_t((state >> 16) & 0x07);  // mostly valid flags and new keys
        }
        KeyLedger ledger;
        ledger.read(garbage.data(), garbage.size());
        QVERIFY(ledger.owed().size() <= KeyLedger::kMaxOwed);
    }

    // Downs told before the first event, ups once the events are out, each
    // in the order sent; a link that breaks is closed and told no more.
    void sendToldTellsAroundTheSend() {
        const std::vector<std::uint8_t> sent;
        const struct {
            std::vector<GuardNote> notes;
            bool broken;
            Log expected;
        } rows[] = {
            {{shiftDown, aDown, GuardNote{0x101, true}, aUp, shiftUp},
             false,
             {encodeGuardNotes({shiftDown, aDown, GuardNote{0x101, true}}), sent,
              encodeGuardNotes({aUp, shiftUp})}},
            {{aUp, shiftDown},
             false,
             {encodeGuardNotes({shiftDown}), sent, encodeGuardNotes({aUp})}},
            {{aDown}, false, {encodeGuardNotes({aDown}), sent}},
            {{aUp}, false, {sent, encodeGuardNotes({aUp})}},
            {{}, false, {sent}},
            {{aDown, aUp}, true, {encodeGuardNotes({aDown}), sent}},
        };
        for (const auto& row : rows) {
            Log log;
            bool closed = false;
            KeyGuard guard(std::make_unique<RecordingLink>(log, closed, row.broken));
            guard.sendTold(row.notes, [&log] { log.emplace_back(); });
            QCOMPARE(log, row.expected);
            QCOMPARE(closed, row.broken);
        }
    }
};

QTEST_GUILESS_MAIN(KeyLedgerTest)
#include "KeyLedgerTest.moc"
