// The stop key: its set-up, delivery as WM_HOTKEY and recognition.

#include <string>
#include <thread>

#include "TestWindow.h"
#include "Tests.h"
#include "platform/win32/Win32Desktop.h"

namespace quindorel::test {

namespace {

constexpr std::uint8_t kLetterS = 83;

WPARAM stopKeyAtom() {
    return GlobalFindAtomA(Win32Desktop::kStopKeyAtom);
}

void recognisesItsOwnHotKeyOnly(TestContext& context) {
    TestWindow window(L"Quindorel hot key owner", false);
    Win32Desktop desktop;
    MSG hotKey = {};
    hotKey.message = WM_HOTKEY;
    context.expect(!desktop.isStopKeyPress(&hotKey), "a hot key taken before the set-up");
    context.expect(desktop.setUpStopKey(window.id()), "Ctrl+Shift+S could not be set up");
    context.expect(stopKeyAtom() != 0, "no atom for A00F1");
    hotKey.wParam = stopKeyAtom();
    MSG otherHotKey = hotKey;
    otherHotKey.wParam = hotKey.wParam + 1;
    MSG keyDown = hotKey;
    keyDown.message = WM_KEYDOWN;
    context.expect(desktop.isStopKeyPress(&hotKey), "WM_HOTKEY with the atom not taken");
    context.expect(!desktop.isStopKeyPress(&otherHotKey), "another hot key taken for the stop key");
    context.expect(!desktop.isStopKeyPress(&keyDown), "WM_KEYDOWN taken for the stop key");
    context.expect(!desktop.isStopKeyPress(nullptr), "null event taken for the stop key");
    UnregisterHotKey(window.handle(), static_cast<int>(stopKeyAtom()));
}

// Sets the stop key up for a window of another thread, as another program
// would; returns what the set-up said, and what it logged into `logged`.
bool setUpFromOtherThread(std::string* logged = nullptr) {
    bool registered = true;
    std::thread other([&] {
        TestWindow window(L"Quindorel hot key rival", false);
        Win32Desktop desktop(
            {}, SystemLog([logged](LogTopic topic, LogLevel level, const std::string& line) {
                if (logged != nullptr && topic == LogTopic::Win32 && level == LogLevel::Warning) {
                    *logged += line;
                }
            }));
        registered = desktop.setUpStopKey(window.id());
        if (registered) {
            UnregisterHotKey(window.handle(), static_cast<int>(stopKeyAtom()));
        }
    });
    other.join();
    return registered;
}

void secondRegistrationFails(TestContext& context) {
    TestWindow window(L"Quindorel hot key owner", false);
    Win32Desktop desktop;
    context.expect(desktop.setUpStopKey(window.id()), "first set-up of Ctrl+Shift+S failed");
    std::string logged;
    context.expect(!setUpFromOtherThread(&logged), "set-up from another thread succeeded");
    context.expect(logged.rfind("RegisterHotKey refused Ctrl+Shift+S (error ", 0) == 0,
                   "the refusal was not logged as a warning: " + logged);
    context.expect(desktop.setUpStopKey(window.id()), "setting up again lost the stop key");
    UnregisterHotKey(window.handle(), static_cast<int>(stopKeyAtom()));
    context.expect(setUpFromOtherThread(), "keys still taken after unregistering");
}

void injectedHotKeyArrives(TestContext& context) {
    TestWindow window(L"Quindorel hot key target");
    context.expect(window.takeFocus(), "test window did not get the focus");
    Win32Desktop desktop;
    context.expect(desktop.setUpStopKey(window.id()), "set-up of Ctrl+Shift+S failed");

    desktop.sendKeys({{162, true},
                      {160, true},
                      {kLetterS, true},
                      {kLetterS, false},
                      {160, false},
                      {162, false}});
    int announced = 0;
    pumpMessages(
        2000, [&] { return announced > 0; },
        [&](const MSG& message) { announced += desktop.isStopKeyPress(&message) ? 1 : 0; });
    pumpMessages(50);
    context.expect(announced == 1,
                   "want one WM_HOTKEY with the atom, got " + std::to_string(announced));
    UnregisterHotKey(window.handle(), static_cast<int>(stopKeyAtom()));
}

// The user's start/stop key (Ctrl+F9): its WM_HOTKEY is ToggleHold, one a
// press (its repeats are Windows' to hold back, MOD_NOREPEAT, which Wine
// does not do); Ctrl+Shift+S is not given to it; let go, another program
// may have it.
void userKeyArrivesOnce(TestContext& context) {
    TestWindow window(L"Quindorel start/stop key target");
    context.expect(window.takeFocus(), "test window did not get the focus");
    Win32Desktop desktop;
    const HotKey ctrlF9{0x78, HotKey::kCtrl};
    context.expect(desktop.setUpStopKey(window.id()), "set-up of Ctrl+Shift+S failed");
    context.expect(!desktop.setUpKey(KeyAction::ToggleHold, kStopHotKey, window.id()),
                   "Ctrl+Shift+S given to the start/stop key");
    context.expect(desktop.setUpKey(KeyAction::ToggleHold, ctrlF9, window.id()),
                   "set-up of Ctrl+F9 failed");
    desktop.sendKeys(
        {{162, true}, {0x78, true}, {0x78, false}, {0x78, true}, {0x78, false}, {162, false}});
    int toggles = 0;
    int others = 0;
    const auto count = [&](const MSG& message) {
        const auto action = desktop.keyActionOf(&message);
        (action == KeyAction::ToggleHold ? toggles : others) += action ? 1 : 0;
    };
    pumpMessages(
        2000, [&] { return toggles > 1; }, count);
    pumpMessages(
        100, [] { return false; }, count);
    context.expect(toggles == 2 && others == 0, "want two start/stop keys, got " +
                                                    std::to_string(toggles) + " and " +
                                                    std::to_string(others) + " stop keys");
    context.expect(desktop.setUpKey(KeyAction::ToggleHold, std::nullopt, window.id()),
                   "letting go of the start/stop key failed");
    bool rival = false;
    std::thread([&] {
        TestWindow other(L"Quindorel start/stop key rival", false);
        Win32Desktop desktop2;
        rival = desktop2.setUpKey(KeyAction::ToggleHold, ctrlF9, other.id());
        desktop2.setUpKey(KeyAction::ToggleHold, std::nullopt, other.id());
    }).join();
    context.expect(rival, "Ctrl+F9 still taken after it was let go");
    UnregisterHotKey(window.handle(), static_cast<int>(stopKeyAtom()));
}

}  // namespace

void addHotKeyTests(TestRunner& runner) {
    runner.add("the user's start/stop key arrives once a press, and is let go", userKeyArrivesOnce);
    runner.add("the stop key is the WM_HOTKEY with the atom of A00F1, nothing else",
               recognisesItsOwnHotKeyOnly);
    runner.add("second registration of Ctrl+Shift+S fails, first stays", secondRegistrationFails);
    runner.add("injected Ctrl+Shift+S arrives as WM_HOTKEY with the atom", injectedHotKeyArrives);
}

}  // namespace quindorel::test
