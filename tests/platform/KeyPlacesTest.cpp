#include <linux/input-event-codes.h>

#include <QtTest>

#include "platform/KeyPlaces.h"

class KeyPlacesTest : public QObject {
    Q_OBJECT
private slots:
    // The evdev code follows from the set-1 scan code but for the E0 keys,
    // Num Lock (which Windows flags as one) and Pause (which sends E1 1D 45).
    void evdevCodes() {
        // clang-format off
        const std::pair<int, int> rows[] = {
            {'A', KEY_A}, {'0', KEY_0}, {13, KEY_ENTER}, {19, KEY_PAUSE}, {144, KEY_NUMLOCK},
            {44, KEY_SYSRQ}, {163, KEY_RIGHTCTRL}, {165, KEY_RIGHTALT}, {38, KEY_UP},
            {46, KEY_DELETE}, {111, KEY_KPSLASH}, {106, KEY_KPASTERISK}, {96, KEY_KP0},
            {123, KEY_F12}, {226, KEY_102ND}, {93, KEY_COMPOSE}, {92, KEY_RIGHTMETA},
            {16, KEY_LEFTSHIFT}, {1, 0}, {255, 0},
        };
        // clang-format on
        for (const auto& [virtualKey, evdev] : rows) {
            const int code = quindorel::evdevCode(static_cast<std::uint8_t>(virtualKey));
            QVERIFY2(code == evdev, qPrintable(QStringLiteral("virtual key %1: %2, want %3")
                                                   .arg(virtualKey)
                                                   .arg(code)
                                                   .arg(evdev)));
        }
    }
};

QTEST_GUILESS_MAIN(KeyPlacesTest)
#include "KeyPlacesTest.moc"
