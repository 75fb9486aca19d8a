// What the key guard owes when the program's end of the pipe breaks.

#include <utility>

#include "Tests.h"
#include "platform/win32/KeyInputCode.h"
#include "platform/win32/Win32KeyGuard.h"
#include "platform/win32/WindowsApi.h"

namespace quindorel::test {

namespace {

// A key as it went down, or up.
using Note = std::pair<KeyInputCode, bool>;

std::vector<KeyStroke> owedAfter(const std::vector<Note>& notes) {
    std::string bytes;
    for (const auto& [key, down] : notes) {
        bytes += {char(key.virtualKey), char(key.scanCode), char(key.extended), char(down)};
    }
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, nullptr, 0);
    DWORD written = 0;
    WriteFile(writeEnd, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(writeEnd);  // as when the program is killed
    std::vector<KeyStroke> owed = keyguard::keyUpsOwed(readEnd);
    CloseHandle(readEnd);
    return owed;
}

void owesExactlyTheKeysStillDown(TestContext& context) {
    const KeyInputCode a{65, 0x1E, false}, b{66, 0x30, false}, up{38, 0x48, true},
        enter{13, 0x1C, false}, leftShift{160, 0x2A, false}, rightCtrl{163, 0x1D, true},
        graveAtOe{192, 0x27, false}, grave{192, 0x29, false};
    struct Row {
        const char* why;
        std::vector<Note> notes;
        std::vector<KeyInputCode> owed;
    };
    const Row rows[] = {
        {"others in press order, then the modifiers",
         {{rightCtrl, true}, {a, true}, {leftShift, true}, {up, true}, {a, false}, {enter, true}},
         {up, enter, rightCtrl, leftShift}},
        {"a key down twice is owed once", {{enter, true}, {enter, true}}, {enter}},
        {"an up without a down", {{a, false}, {b, true}}, {b}},
        {"one code at two places is two keys",
         {{graveAtOe, true}, {grave, true}, {graveAtOe, false}},
         {grave}},
        {"every key went up", {{a, true}, {b, true}, {a, false}, {b, false}}, {}},
        {"no note at all", {}, {}},
    };
    for (const Row& row : rows) {
        std::vector<KeyStroke> expected;
        for (const KeyInputCode& key : row.owed) {
            expected.push_back({key.virtualKey, false, toSystemKey(key)});
        }
        context.expect(owedAfter(row.notes) == expected, std::string(row.why) + ": wrong key-ups");
    }
}

}  // namespace

void addKeyGuardTests(TestRunner& runner) {
    runner.add("key guard owes each key still down once, as it went down, modifiers last",
               owesExactlyTheKeysStillDown);
}

}  // namespace quindorel::test
