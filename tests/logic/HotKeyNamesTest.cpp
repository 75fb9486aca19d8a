// The start/stop key's names, as the settings keep them and people type
// them, and the key a key press in the dialog stands for.
#include <QtTest>

#include "keys/HotKeyNames.h"

using namespace quindorel;

Q_DECLARE_METATYPE(std::optional<HotKey>)

class HotKeyNamesTest : public QObject {
    Q_OBJECT

private slots:
    void names_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<HotKey>>("key");
        QTest::addColumn<QString>("written");
        const auto key = [](int code, int modifiers) {
            return std::optional<HotKey>(
                HotKey{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(modifiers)});
        };
        const std::optional<HotKey> none;
        QTest::newRow("a key alone") << "F8" << key(0x77, 0) << "F8";
        QTest::newRow("modifiers in order")
            << "Ctrl+Alt+Page Up" << key(0x21, HotKey::kCtrl | HotKey::kAlt) << "Ctrl+Alt+Page Up";
        QTest::newRow("any order and case, other names")
            << " super + control+keypad 5" << key(0x65, HotKey::kCtrl | HotKey::kWin)
            << "Ctrl+Win+Keypad 5";
        QTest::newRow("a modifier alone") << "Ctrl+Left Shift" << none << "";
        QTest::newRow("a mouse button") << "Left Mouse Button" << none << "";
        QTest::newRow("a modifier twice") << "Ctrl+Ctrl+A" << none << "";
        QTest::newRow("unknown") << "Hyper+A" << none << "";
        QTest::newRow("nothing") << "" << none << "";
    }
    void names() {
        QFETCH(QString, typed);
        QFETCH(std::optional<HotKey>, key);
        QFETCH(QString, written);
        QCOMPARE(hotKeyNamed(typed), key);
        if (key) {
            QCOMPARE(hotKeyName(*key), written);
            QCOMPARE(hotKeyNamed(written), key);
        }
    }

    void pressedKeys_data() {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("name");
        QTest::newRow("letter") << int(Qt::Key_Q) << int(Qt::ControlModifier) << "Ctrl+Q";
        QTest::newRow("shifted sign") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << "Shift+1";
        QTest::newRow("function key") << int(Qt::Key_F12) << int(Qt::AltModifier) << "Alt+F12";
        QTest::newRow("keypad digit") << int(Qt::Key_7) << int(Qt::KeypadModifier) << "Keypad 7";
        QTest::newRow("keypad sign")
            << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << "Keypad Plus";
        QTest::newRow("sign") << int(Qt::Key_BracketLeft) << 0 << "Left Bracket";
        QTest::newRow("Pause, Windows key held")
            << int(Qt::Key_Pause) << int(Qt::MetaModifier) << "Win+Pause";
        QTest::newRow("a modifier alone") << int(Qt::Key_Control) << int(Qt::ControlModifier) << "";
        QTest::newRow("no such key here") << int(Qt::Key_VolumeUp) << 0 << "";
    }
    void pressedKeys() {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(QString, name);
        const std::optional<HotKey> key =
            hotKeyOfQtKey(qtKey, Qt::KeyboardModifiers::fromInt(modifiers));
        QCOMPARE(key ? hotKeyName(*key) : QString(), name);
    }
};

QTEST_APPLESS_MAIN(HotKeyNamesTest)
#include "HotKeyNamesTest.moc"
