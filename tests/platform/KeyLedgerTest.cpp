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
};

QTEST_GUILESS_MAIN(KeyLedgerTest)
#include "KeyLedgerTest.moc"
