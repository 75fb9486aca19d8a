#include "platform/win32/Win32KeyGuard.h"

#include "platform/win32/WindowsApi.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/KeyLedger.h"
#include "platform/win32/KeyEvents.h"

namespace quindorel::keyguard {

namespace {

class PipeLink : public GuardLink {
public:
    explicit PipeLink(HANDLE pipe) : pipe_(pipe) {}
    PipeLink(const PipeLink&) = delete;
    PipeLink& operator=(const PipeLink&) = delete;
    ~PipeLink() override { CloseHandle(pipe_); }

    bool write(const std::vector<std::uint8_t>& bytes) override {
        DWORD written = 0;
        return WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size();
    }

private:
    HANDLE pipe_;
};

}  // namespace

void serveIfGuard(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], kGuardArgument) != 0) {
        return;
    }
    const HANDLE pipe = GetStdHandle(STD_INPUT_HANDLE);
    if (pipe == nullptr || pipe == INVALID_HANDLE_VALUE) {
        std::exit(1);
    }
    const std::vector<INPUT> inputs = keyEvents(keyUpsOwed(pipe)).inputs;
    if (!inputs.empty()) {
        SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()),
                  sizeof(INPUT));
    }
    std::exit(0);
}

std::vector<KeyStroke> keyUpsOwed(void* pipe) {
    KeyLedger ledger;
    std::uint8_t buffer[512];
    DWORD got = 0;
    while (ReadFile(static_cast<HANDLE>(pipe), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        ledger.read(buffer, got);
    }
    std::vector<KeyStroke> owed;
    for (const GuardNote& note : ledger.owed()) {
        owed.push_back({fromSystemKey(note.key).virtualKey, false, note.key});
    }
    return owed;
}

namespace {

KeyGuard failed(const SystemLog& log, const char* what) {
    log.write(LogTopic::KeyGuard, LogLevel::Warning,
              std::string("cannot start the key guard: ") + what + " failed (error " +
                  std::to_string(GetLastError()) + ")");
    return {};
}

}  // namespace

KeyGuard start(const SystemLog& log) {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return failed(log, "GetModuleFileNameW");
    }
    path.resize(length);
    // Only the guard's end may be inherited: the pipe breaks when the
    // program's end closes, which the system does when the program ends.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return failed(log, "CreatePipe");
    }
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    // No busy cursor while the guard starts: it never shows a window.
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_FORCEOFFFEEDBACK;
    startup.hStdInput = readEnd;
    std::wstring commandLine = L"\"" + path + L"\" ";
    for (const char* c = kGuardArgument; *c != '\0'; ++c) {
        commandLine += static_cast<wchar_t>(*c);
    }
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    if (!started) {
        KeyGuard none = failed(log, "CreateProcessW");
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return none;
    }
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return onPipe(writeEnd);
}

KeyGuard onPipe(void* writeEnd) {
    return KeyGuard(std::make_unique<PipeLink>(static_cast<HANDLE>(writeEnd)));
}

}  // namespace quindorel::keyguard
