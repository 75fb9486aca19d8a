#include "platform/KeyGuard.h"

#ifdef _WIN32
#include "platform/win32/WindowsApi.h"
#else
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "platform/KeyLedger.h"

namespace quindorel {

void KeyGuard::close() {
    if (link_ == kNoLink) {
        return;
    }
#ifdef _WIN32
    CloseHandle(reinterpret_cast<HANDLE>(link_));
#else
    ::close(static_cast<int>(link_));
#endif
    link_ = kNoLink;
}

void KeyGuard::tell(const std::vector<GuardNote>& notes) {
    if (link_ == kNoLink || notes.empty()) {
        return;
    }
    const std::vector<std::uint8_t> bytes = encodeGuardNotes(notes);
#ifdef _WIN32
    DWORD written = 0;
    const bool told = WriteFile(reinterpret_cast<HANDLE>(link_), bytes.data(),
                                static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size();
#else
    // Never blocks: a guard that stopped reading must not hold up a hold.
    ssize_t sent = -1;
    do {
        sent = ::send(static_cast<int>(link_), bytes.data(), bytes.size(),
                      MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    const bool told = sent == static_cast<ssize_t>(bytes.size());
#endif
    if (!told) {
        close();
    }
}

}  // namespace quindorel
