#include <X11/keysym.h>

#include <QtTest>
#include <set>

#include "keys/KeyTable.h"
#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11WindowList.h"

using quindorel::keysymForVirtualKey;

class VirtualKeyMapTest : public QObject {
    Q_OBJECT

private slots:
    void everyKeyboardKeyHasAKeysym() {
        for (const quindorel::KeyDefinition& key : quindorel::keyboardKeys()) {
            QVERIFY2(keysymForVirtualKey(static_cast<std::uint8_t>(key.code)) != 0,
                     qPrintable(QString::number(key.code)));
        }
    }

    void distinctKeysGetDistinctKeysyms() {
        // Only the two Enter keys share a code; every other pair of the
        // on-screen keys must reach different keys.
        std::set<std::uint32_t> keysyms;
        std::set<int> codes;
        for (const quindorel::KeyDefinition& key : quindorel::keyboardKeys()) {
            if (codes.insert(key.code).second) {
                QVERIFY2(
                    keysyms.insert(keysymForVirtualKey(static_cast<std::uint8_t>(key.code))).second,
                    qPrintable(QString::number(key.code)));
            }
        }
    }

    void mapping_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<uint>("keysym");
        QTest::newRow("A is the lower-case a") << 65 << uint(XK_a);
        QTest::newRow("Z") << 90 << uint(XK_z);
        QTest::newRow("main-row 0") << 48 << uint(XK_0);
        QTest::newRow("keypad 0") << 96 << uint(XK_KP_0);
        QTest::newRow("keypad 9") << 105 << uint(XK_KP_9);
        QTest::newRow("F1") << 112 << uint(XK_F1);
        QTest::newRow("F24") << 135 << uint(XK_F24);
        QTest::newRow("Shift") << 16 << uint(XK_Shift_L);
        QTest::newRow("right Shift") << 161 << uint(XK_Shift_R);
        QTest::newRow("right Ctrl") << 163 << uint(XK_Control_R);
        QTest::newRow("right Alt") << 165 << uint(XK_Alt_R);
        QTest::newRow("Print Screen") << 44 << uint(XK_Print);
        QTest::newRow("Pause") << 19 << uint(XK_Pause);
        QTest::newRow("Apps") << 93 << uint(XK_Menu);
        QTest::newRow("left mouse button") << 1 << 0u;
        QTest::newRow("unassigned 0x07") << 7 << 0u;
        QTest::newRow("IME process key") << 0xE5 << 0u;
        QTest::newRow("0xFF") << 0xFF << 0u;
    }

    void mapping() {
        QFETCH(int, code);
        QFETCH(uint, keysym);
        QCOMPARE(uint(keysymForVirtualKey(static_cast<std::uint8_t>(code))), keysym);
    }

    void latin1BecomesUtf8() {
        QCOMPARE(QString::fromStdString(quindorel::latin1ToUtf8("Caf\xE9 \xFF")),
                 QStringLiteral("Café ÿ"));
    }
};

QTEST_GUILESS_MAIN(VirtualKeyMapTest)
#include "VirtualKeyMapTest.moc"
