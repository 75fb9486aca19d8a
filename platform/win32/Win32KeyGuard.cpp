#include "platform/win32/Win32KeyGuard.h"

#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/KeyEvents.h"

namespace quindorel::keyguard {

namespace {

// The program's end of the pipe; null without a guard.
HANDLE guardPipe = nullptr;

// Each note is a key as it was sent (virtual key, scan code, extended flag)
// and 1 for down, 0 for up.
constexpr DWORD kNoteSize = 4;

}  // namespace

std::optional<int> runIfGuard(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], kGuardArgument) != 0) {
        return std::nullopt;
    }
    const HANDLE pipe = GetStdHandle(STD_INPUT_HANDLE);
    if (pipe == nullptr || pipe == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const std::vector<INPUT> inputs = keyEvents(keyUpsOwed(pipe)).inputs;
    if (!inputs.empty()) {
        SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()),
                  sizeof(INPUT));
    }
    return 0;
}

std::vector<KeyStroke> keyUpsOwed(void* pipe) {
    std::vector<SystemKey> down;  // in the order the keys went down
    unsigned char buffer[kNoteSize * 128];
    DWORD kept = 0;
    DWORD got = 0;
    while (
        ReadFile(static_cast<HANDLE>(pipe), buffer + kept, sizeof buffer - kept, &got, nullptr) &&
        got > 0) {
        const DWORD total = kept + got;
        DWORD at = 0;
        for (; at + kNoteSize <= total; at += kNoteSize) {
            const SystemKey key = toSystemKey({buffer[at], buffer[at + 1], buffer[at + 2] != 0});
            const auto found = std::find(down.begin(), down.end(), key);
            // A key is down or up, however often it went down.
            if (buffer[at + 3] != 0 && found == down.end()) {
                down.push_back(key);
            } else if (buffer[at + 3] == 0 && found != down.end()) {
                down.erase(found);
            }
        }
        kept = total - at;
        std::memmove(buffer, buffer + at, kept);
    }
    // As the program's own release, and a hand, let go: the modifiers last,
    // so that the other keys come up under the modifiers they went down with.
    std::stable_partition(down.begin(), down.end(), [](SystemKey key) {
        return !isModifierKey(fromSystemKey(key).virtualKey);
    });
    std::vector<KeyStroke> owed;
    for (const SystemKey key : down) {
        owed.push_back({fromSystemKey(key).virtualKey, false, key});
    }
    return owed;
}

void start() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return;
    }
    path.resize(length);
    // Only the guard's end may be inherited: the pipe breaks when the
    // program's end closes, which the system does when the program ends.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return;
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
    CloseHandle(readEnd);
    if (!started) {
        CloseHandle(writeEnd);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    guardPipe = writeEnd;
}

void note(const std::vector<SystemKey>& keys, bool down) {
    if (guardPipe == nullptr || keys.empty()) {
        return;
    }
    std::string notes;
    for (const SystemKey key : keys) {
        const KeyInputCode code = fromSystemKey(key);
        notes += static_cast<char>(code.virtualKey);
        notes += static_cast<char>(code.scanCode);
        notes += static_cast<char>(code.extended ? 1 : 0);
        notes += static_cast<char>(down ? 1 : 0);
    }
    DWORD written = 0;
    if (!WriteFile(guardPipe, notes.data(), static_cast<DWORD>(notes.size()), &written, nullptr) ||
        written != notes.size()) {
        // The guard is gone; go on without it.
        CloseHandle(guardPipe);
        guardPipe = nullptr;
    }
}

}  // namespace quindorel::keyguard
