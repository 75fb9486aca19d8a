// Synthetic keys as the focused window receives them.

#include <cstdio>
#include <string>

#include "TestWindow.h"
#include "Tests.h"
#include "platform/win32/KeyInputCode.h"
#include "platform/win32/Win32Desktop.h"

namespace quindorel::test {

namespace {

std::string describe(const KeyMessage& key) {
    char text[64];
    std::snprintf(text, sizeof text, "%s vk %u scan 0x%02X%s", key.up ? "up" : "down",
                  key.virtualKey, key.scanCode, key.extended ? " ext" : "");
    return text;
}

std::string describe(const std::vector<KeyMessage>& keys) {
    std::string text;
    for (const KeyMessage& key : keys) {
        text += "\n      " + describe(key);
    }
    return text;
}

void keysArriveInOrder(TestContext& context) {
    TestWindow window(L"Quindorel key target");
    context.expect(window.takeFocus(), "test window did not get the focus");

    struct Row {
        std::uint8_t sent;
        unsigned received;  // messages name the side-less Shift, Ctrl and Alt
        unsigned scanCode;
        bool extended;
    };
    const Row rows[] = {
        {65, 65, 0x1E, false},    // A
        {161, 16, 0x36, false},   // right Shift
        {163, 17, 0x1D, true},    // right Ctrl
        {38, 38, 0x48, true},     // Up, not keypad 8
        {45, 45, 0x52, true},     // Insert, not keypad 0
        {103, 103, 0x47, false},  // keypad 7
        {111, 111, 0x35, true},   // keypad divide
        {13, 13, 0x1C, false},    // Enter
        {186, 186, 0x27, false},  // ;:
        {226, 226, 0x56, false},  // the key beside left Shift
    };
    std::vector<KeyStroke> downs;
    std::vector<KeyStroke> ups;
    std::vector<KeyMessage> expected;
    for (const bool up : {false, true}) {
        for (const Row& row : rows) {
            (up ? ups : downs).push_back({row.sent, !up});
            expected.push_back({row.received, row.scanCode, row.extended, up});
        }
    }
    // A code without a key is skipped, and the others still go.
    downs.insert(downs.begin(), KeyStroke{0, true});

    Win32Desktop desktop;
    window.clearKeys();
    const KeySendResult sent = desktop.sendKeys(downs);
    context.expect(
        sent.outcome == KeySendOutcome::Sent && sent.keys.size() == downs.size() && !sent.keys[0],
        "key-downs not all taken, or not one key for each stroke");
    for (std::size_t i = 0; i < ups.size() && i + 1 < sent.keys.size(); ++i) {
        ups[i].pressed = sent.keys[i + 1];
    }
    // The ;: key, pressed under a German layout and let up under this one.
    ups.push_back({186, false, toSystemKey({192, 0x27, false})});
    expected.push_back({192, 0x27, false, true});
    context.expect(desktop.sendKeys(ups).outcome == KeySendOutcome::Sent, "key-ups not all taken");
    pumpMessages(2000, [&] { return window.keys().size() >= expected.size(); });
    pumpMessages(50);
    context.expect(window.keys() == expected,
                   "received:" + describe(window.keys()) + "\n    expected:" + describe(expected));
}

void seesWhoseWindowHasTheKeyboard(TestContext& context) {
    TestWindow window(L"Quindorel own window");
    Win32Desktop desktop;
    context.expect(window.takeFocus() && desktop.ownWindowHasKeyboard(),
                   "own window in front, but not seen");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION notepad = {};
    wchar_t commandLine[] = L"notepad.exe";
    CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &notepad);
    const bool inFront = pumpMessages(10000, [] {
        const HWND other = FindWindowW(L"Notepad", nullptr);
        SetForegroundWindow(other);
        return other != nullptr && GetForegroundWindow() == other;
    });
    context.expect(inFront && !desktop.ownWindowHasKeyboard(),
                   "notepad not in front, or taken for our own window");
    TerminateProcess(notepad.hProcess, 0);
    WaitForSingleObject(notepad.hProcess, 5000);
    CloseHandle(notepad.hThread);
    CloseHandle(notepad.hProcess);
}

}  // namespace

void addKeyInjectionTests(TestRunner& runner) {
    runner.add("sendKeys: key-downs then key-ups, each as the key that went down",
               keysArriveInOrder);
    runner.add("ownWindowHasKeyboard: our window in front, then another program's",
               seesWhoseWindowHasTheKeyboard);
}

}  // namespace quindorel::test
