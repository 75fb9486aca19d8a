// The command channel's pipe. (Under Wine a server always gets its client's
// token at the impersonation level: the client's limit cannot be seen.)

#include "Tests.h"
#include "platform/win32/OwnPipe.h"
#include "platform/win32/WindowsApi.h"

#include <sddl.h>

namespace quindorel::test {

void addPipeTests(TestRunner& runner) {
    runner.add(
        "pipe: one server per name, trusted by its own user's client alone", [](auto& context) {
            const std::string path =
                win32::pipePath("quindorel-test-" + std::to_string(GetCurrentProcessId()));
            unsigned long error = 0;
            void* server = win32::claimPipeName(path, &error);
            context.expect(
                win32::claimPipeName(path, &error) == nullptr && error == ERROR_ACCESS_DENIED,
                "a second server took the name too (error " + std::to_string(error) + ")");
            context.expect(!win32::openPipe(path + "-2", &error), "a client reached another name");
            void* client = win32::openPipe(path, &error);
            std::string why;
            context.expect(server && client && win32::servedBy(client, win32::processUser(), &why),
                           "own server refused: " + why);
            PSID system = nullptr;  // LocalSystem
            ConvertStringSidToSidA("S-1-5-18", &system);
            const auto* bytes = static_cast<const unsigned char*>(system);
            context.expect(
                client && !win32::servedBy(client, {bytes, bytes + GetLengthSid(system)}, &why),
                "a server was taken as LocalSystem's");
            LocalFree(system);
            char byte = 'x';
            context.expect(win32::pipeTransfer(client, true, &byte, 1, 1000) == 1 &&
                               win32::pipeTransfer(client, false, &byte, 1, 10) == -1,
                           "a server that never answers held its client");
            CloseHandle(client);
            CloseHandle(server);
            void* again = win32::claimPipeName(path, &error);
            context.expect(again != nullptr, "the name stayed taken after its server closed");
            CloseHandle(again);
        });
}

}  // namespace quindorel::test
