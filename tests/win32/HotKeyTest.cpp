// The stop hot key: atoms, registration, delivery and decoding.

#include <string>
#include <thread>

#include "TestWindow.h"
#include "Tests.h"
#include "platform/win32/Win32Desktop.h"

namespace quindorel::test {

namespace {

constexpr unsigned kCtrlShift = kModControl | kModShift;
constexpr std::uint8_t kLetterS = 83;

void atoms(TestContext& context) {
    Win32Desktop desktop;
    const std::int32_t first = desktop.addAtom("A00F1");
    context.expect(first != 0, "no atom for A00F1");
    context.expect(desktop.addAtom("A00F1") == first, "same name gave another atom");
    context.expect(desktop.addAtom("A00F2") != first, "other name gave the same atom");
}

void decodesNativeEvents(TestContext& context) {
    Win32Desktop desktop;
    MSG hotKey = {};
    hotKey.message = WM_HOTKEY;
    hotKey.wParam = 0xC123;
    MSG keyDown = {};
    keyDown.message = WM_KEYDOWN;
    keyDown.wParam = 0xC123;
    context.expect(desktop.hotKeyFromNativeEvent(&hotKey) == std::optional<std::int32_t>(0xC123),
                   "WM_HOTKEY not decoded to its identifier");
    context.expect(!desktop.hotKeyFromNativeEvent(&keyDown), "WM_KEYDOWN taken for a hot key");
    context.expect(!desktop.hotKeyFromNativeEvent(nullptr), "null event taken for a hot key");
}

// Registers the same keys for a window of another thread, as another program
// would; returns what the registration said.
bool registerFromOtherThread(std::int32_t id) {
    bool registered = true;
    std::thread other([&] {
        TestWindow window(L"Quindorel hot key rival", false);
        Win32Desktop desktop;
        registered = desktop.registerHotKey(window.id(), id, kCtrlShift, kLetterS);
        if (registered) {
            UnregisterHotKey(window.handle(), id);
        }
    });
    other.join();
    return registered;
}

void secondRegistrationFails(TestContext& context) {
    TestWindow window(L"Quindorel hot key owner", false);
    Win32Desktop desktop;
    const std::int32_t id = desktop.addAtom("A00F1");
    context.expect(desktop.registerHotKey(window.id(), id, kCtrlShift, kLetterS),
                   "first registration of Ctrl+Shift+S failed");
    context.expect(!registerFromOtherThread(id + 1), "registration from another thread succeeded");
    context.expect(!desktop.registerHotKey(window.id(), id + 2, kCtrlShift, kLetterS),
                   "second registration for the same window succeeded");
    UnregisterHotKey(window.handle(), id);
    context.expect(registerFromOtherThread(id + 1), "keys still taken after unregistering");
}

void injectedHotKeyArrives(TestContext& context) {
    TestWindow window(L"Quindorel hot key target");
    context.expect(window.takeFocus(), "test window did not get the focus");
    Win32Desktop desktop;
    const std::int32_t id = desktop.addAtom("A00F1");
    context.expect(desktop.registerHotKey(window.id(), id, kCtrlShift, kLetterS),
                   "registration of Ctrl+Shift+S failed");

    desktop.sendKeys({{162, true},
                      {160, true},
                      {kLetterS, true},
                      {kLetterS, false},
                      {160, false},
                      {162, false}});
    std::vector<std::int32_t> announced;
    pumpMessages(
        2000, [&] { return !announced.empty(); },
        [&](const MSG& message) {
            if (const auto hotKey = desktop.hotKeyFromNativeEvent(&message)) {
                announced.push_back(*hotKey);
            }
        });
    pumpMessages(50);
    context.expect(announced == std::vector<std::int32_t>{id},
                   "want one WM_HOTKEY with the atom, got " + std::to_string(announced.size()));
    UnregisterHotKey(window.handle(), id);
}

}  // namespace

void addHotKeyTests(TestRunner& runner) {
    runner.add("addAtom: same name same atom, other name other atom", atoms);
    runner.add("hotKeyFromNativeEvent decodes WM_HOTKEY only", decodesNativeEvents);
    runner.add("second registration of Ctrl+Shift+S fails, first stays", secondRegistrationFails);
    runner.add("injected Ctrl+Shift+S arrives as WM_HOTKEY with the atom", injectedHotKeyArrives);
}

}  // namespace quindorel::test
