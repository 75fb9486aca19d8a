// The Wayland back end's keys without a compositor: which keymap the
// virtual keyboard gets, and which evdev code each marked key becomes in it;
// which globals tell KWin.
#include <linux/input-event-codes.h>

#include <QtTest>
#include <cstdlib>

#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"

using namespace quindorel;

namespace {

// A keymap as a compositor sends it, for one layout.
std::string keymapText(const char* layout) {
    XkbPtr<xkb_context> context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    const xkb_rule_names names = {"evdev", "pc105", layout, "", ""};
    XkbPtr<xkb_keymap> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    char* text = xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    std::string copy(text);
    std::free(text);
    return copy;
}

}  // namespace

class WaylandKeymapTest : public QObject {
    Q_OBJECT
private slots:
    void evdevCodes_data() {
        QTest::addColumn<QByteArray>("seatLayout");  // empty: the seat sent no keymap
        QTest::addColumn<QByteArray>("envLayout");   // XKB_DEFAULT_LAYOUT
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<int>("evdev");  // -1: no key
        QTest::newRow("us letter") << QByteArray("us") << QByteArray("de") << int('Y') << KEY_Y;
        QTest::newRow("seat keymap beats env")
            << QByteArray("de") << QByteArray("us") << int('Y') << KEY_Z;
        QTest::newRow("no seat keymap: env")
            << QByteArray() << QByteArray("de") << int('Y') << KEY_Z;
        QTest::newRow("seat keymap damaged: env")
            << QByteArray("garbage") << QByteArray("de") << int('Z') << KEY_Y;
        QTest::newRow("letter by what it types")
            << QByteArray("fr") << QByteArray() << int('A') << KEY_Q;
        QTest::newRow("shifted digit") << QByteArray("fr") << QByteArray() << int('2') << KEY_2;
        QTest::newRow("letter by place without latin")
            << QByteArray("ru") << QByteArray() << int('A') << KEY_A;
        QTest::newRow("punctuation by place")
            << QByteArray("de") << QByteArray() << 186 << KEY_SEMICOLON;
        QTest::newRow("named key") << QByteArray("de") << QByteArray() << 0xA1 << KEY_RIGHTSHIFT;
        QTest::newRow("keypad") << QByteArray("fr") << QByteArray() << 0x67 << KEY_KP7;
        QTest::newRow("no key") << QByteArray("us") << QByteArray() << 0xE5 << -1;
    }
    void evdevCodes() {
        QFETCH(QByteArray, seatLayout);
        QFETCH(QByteArray, envLayout);
        QFETCH(int, virtualKey);
        QFETCH(int, evdev);
        qputenv("XKB_DEFAULT_LAYOUT", envLayout);
        const std::string seat = seatLayout.isEmpty()      ? std::string()
                                 : seatLayout == "garbage" ? std::string("xkb_keymap {")
                                                           : keymapText(seatLayout.constData());
        XkbPtr<xkb_context> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
        XkbPtr<xkb_keymap> keymap = chooseKeymap(context.get(), seat);
        QVERIFY(keymap);
        const auto code = evdevCodeFor(XkbKeyLayout::fromKeymap(keymap.get(), 0),
                                       static_cast<std::uint8_t>(virtualKey));
        QCOMPARE(code ? int(*code) : -1, evdev);
    }

    void buttonCodes() {
        const std::pair<int, int> table[] = {{1, BTN_LEFT}, {2, BTN_RIGHT}, {4, BTN_MIDDLE},
                                             {5, BTN_SIDE}, {6, BTN_EXTRA}, {3, -1},
                                             {'A', -1}};
        for (const auto& [virtualKey, button] : table) {
            const auto code = buttonCodeFor(static_cast<std::uint8_t>(virtualKey));
            QCOMPARE(code ? int(*code) : -1, button);
        }
    }

    // KWin is told by its own globals, not by KDE's protocols wlroots offers too.
    void kwinGlobals() {
        QVERIFY(isKwinGlobal("org_kde_kwin_fake_input") &&
                isKwinGlobal("org_kde_kwin_blur_manager"));
        QVERIFY(!isKwinGlobal("org_kde_kwin_server_decoration_manager"));
        QVERIFY(!isKwinGlobal("org_kde_kwin_idle") &&
                !isKwinGlobal("zwlr_virtual_pointer_manager_v1"));
    }
};

QTEST_MAIN(WaylandKeymapTest)
#include "WaylandKeymapTest.moc"
