#include "platform/win32/OwnPipe.h"

#include "platform/win32/WindowsApi.h"

#include <sddl.h>

namespace quindorel::win32 {

namespace {

// The user of a process's token, as the bytes of its SID.
std::vector<unsigned char> tokenUser(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
        return {};
    }
    std::vector<unsigned char> user;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
        const auto* bytes = static_cast<const unsigned char*>(sid);
        user.assign(bytes, bytes + GetLengthSid(sid));
    }
    CloseHandle(token);
    return user;
}

std::string sidText(const std::vector<unsigned char>& sid) {
    LPSTR text = nullptr;
    if (sid.empty() || !ConvertSidToStringSidA(const_cast<unsigned char*>(sid.data()), &text)) {
        return "an unknown user";
    }
    std::string result = text;
    LocalFree(text);
    return result;
}

}  // namespace

std::string pipePath(const std::string& name) {
    return "\\\\.\\pipe\\" + name;
}

std::vector<unsigned char> processUser() {
    return tokenUser(GetCurrentProcess());
}

void* claimPipeName(const std::string& path, unsigned long* error) {
    // Full access for this user alone, as Qt's QLocalServer::UserAccessOption
    // gives its instances. Qt's own instances have the same kind and count,
    // as every instance of one pipe must.
    const std::string descriptor = "D:P(A;;FA;;;" + sidText(processUser()) + ")";
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            descriptor.c_str(), SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr)) {
        *error = GetLastError();
        return nullptr;
    }
    // FILE_FLAG_FIRST_PIPE_INSTANCE: fails with ERROR_ACCESS_DENIED when the
    // pipe exists, whoever made it.
    HANDLE pipe = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 4096, 4096, 3000, &attributes);
    *error = pipe == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    LocalFree(attributes.lpSecurityDescriptor);
    // Wine takes no notice of the flag: the count of the pipe's instances
    // tells. Once this one is had, no other account may add one.
    DWORD instances = 0;
    if (pipe != INVALID_HANDLE_VALUE &&
        (!GetNamedPipeHandleStateA(pipe, nullptr, &instances, nullptr, nullptr, nullptr, 0) ||
         instances != 1)) {
        CloseHandle(pipe);
        pipe = INVALID_HANDLE_VALUE;
        *error = ERROR_ACCESS_DENIED;
    }
    return pipe == INVALID_HANDLE_VALUE ? nullptr : pipe;
}

void* openPipe(const std::string& path, unsigned long* error) {
    HANDLE pipe = CreateFileA(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    *error = pipe == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return pipe == INVALID_HANDLE_VALUE ? nullptr : pipe;
}

long pipeTransfer(void* pipe, bool write, char* data, unsigned long size, long timeoutMs) {
    OVERLAPPED io{};
    io.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (io.hEvent == nullptr) {
        return -1;
    }
    const BOOL started = write ? WriteFile(pipe, data, size, nullptr, &io)
                               : ReadFile(pipe, data, size, nullptr, &io);
    const bool pending = !started && GetLastError() == ERROR_IO_PENDING;
    if (pending &&
        WaitForSingleObject(io.hEvent, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs)) !=
            WAIT_OBJECT_0) {
        CancelIo(pipe);  // then the result below waits for the cancelling
    }
    DWORD moved = 0;
    const bool done = (started || pending) && GetOverlappedResult(pipe, &io, &moved, TRUE);
    CloseHandle(io.hEvent);
    return done ? static_cast<long>(moved) : -1;
}

bool servedBy(void* pipe, const std::vector<unsigned char>& user, std::string* why) {
    ULONG pid = 0;
    if (!GetNamedPipeServerProcessId(pipe, &pid)) {
        *why = "the pipe does not say its server (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // Another user's process is usually closed to us: then it is not ours.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        *why = "its server, process " + std::to_string(pid) + ", cannot be looked at (error " +
               std::to_string(GetLastError()) + ")";
        return false;
    }
    const std::vector<unsigned char> server = tokenUser(process);
    CloseHandle(process);
    if (user.empty() || server != user) {
        *why = "its server, process " + std::to_string(pid) + ", runs as " + sidText(server) +
               ", not as " + sidText(user);
        return false;
    }
    return true;
}

}  // namespace quindorel::win32
