// What the key guard owes when the program's end of the pipe breaks.

#include "Tests.h"
#include "platform/win32/Win32KeyGuard.h"
#include "platform/win32/WindowsApi.h"

namespace quindorel::test {

namespace {

std::vector<KeyStroke> owedAfter(const std::string& notes) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, nullptr, 0);
    DWORD written = 0;
    WriteFile(writeEnd, notes.data(), static_cast<DWORD>(notes.size()), &written, nullptr);
    CloseHandle(writeEnd);  // as when the program is killed
    std::vector<KeyStroke> owed = keyguard::keyUpsOwed(readEnd);
    CloseHandle(readEnd);
    return owed;
}

void owesUpsForKeysStillDown(TestContext& context) {
    // a, left Shift, Up down; a up; Enter down twice (both Enter keys).
    const std::string notes{65, 1, char(160), 1, 38, 1, 65, 0, 13, 1, 13, 1};
    const std::vector<KeyStroke> expected{{160, false}, {38, false}, {13, false}, {13, false}};
    context.expect(owedAfter(notes) == expected, "wrong key-ups owed");
}

void owesNothingAfterARelease(TestContext& context) {
    context.expect(owedAfter(std::string{65, 1, 66, 1, 65, 0, 66, 0}).empty(),
                   "key-ups owed after every key went up");
    context.expect(owedAfter({}).empty(), "key-ups owed with no note at all");
}

}  // namespace

void addKeyGuardTests(TestRunner& runner) {
    runner.add("key guard owes the key-ups of keys still down, in press order",
               owesUpsForKeysStillDown);
    runner.add("key guard owes nothing when every key went up", owesNothingAfterARelease);
}

}  // namespace quindorel::test
