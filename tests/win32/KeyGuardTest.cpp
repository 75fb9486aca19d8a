// The key guard's pipe: what the program tells comes out, once the program's
// end breaks, as key-ups exactly as the keys went down and button releases.
// The ledger itself is tested in tests/platform.

#include "Tests.h"
#include "platform/win32/KeyInputCode.h"
#include "platform/win32/Win32KeyGuard.h"
#include "platform/win32/WindowsApi.h"

namespace quindorel::test {

namespace {

void owesTheKeysStillDownAsTheyWentDown(TestContext& context) {
    const SystemKey a = toSystemKey({65, 0x1E, false}), up = toSystemKey({38, 0x48, true}),
                    rightCtrl = toSystemKey({163, 0x1D, true});
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, nullptr, 0);
    {
        KeyGuard guard = keyguard::onPipe(writeEnd);
        guard.tell({{rightCtrl, true, false, true}, {a, true}, {up, true}, {VK_XBUTTON2, true}});
        guard.tell({{a, false}});
    }  // the program's end closes, as when it is killed
    const std::vector<KeyStroke> owed = keyguard::keyUpsOwed(readEnd);
    CloseHandle(readEnd);
    const std::vector<KeyStroke> expected = {
        {38, false, up}, {VK_XBUTTON2, false, VK_XBUTTON2}, {163, false, rightCtrl}};
    context.expect(owed == expected, "wrong key-ups");
}

}  // namespace

void addKeyGuardTests(TestRunner& runner) {
    runner.add("key guard owes the keys still down when its pipe breaks",
               owesTheKeysStillDownAsTheyWentDown);
}

}  // namespace quindorel::test
