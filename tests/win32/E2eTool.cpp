// The end-to-end test's helper on the Windows side (tests/win32/e2e):
//   win32_e2e_tool record TITLE LOG  a window that takes the focus and writes
//                                     "mapped", then one line per key message:
//                                     "down|up VK SCAN EXT" (the left mouse
//                                     button: "down|up 1 0x00 0")
//   win32_e2e_tool origin TITLE      prints the screen position of the
//                                     client area of the window so titled

#include <cstdio>
#include <cstring>
#include <string>

#include "TestWindow.h"

using namespace quindorel::test;

namespace {

std::wstring wide(const char* text) {
    std::wstring result;
    for (; *text != '\0'; ++text) {
        result += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    }
    return result;
}

int record(const char* title, const char* logPath) {
    std::FILE* log = std::fopen(logPath, "ab");
    if (log == nullptr) {
        return 2;
    }
    TestWindow window(wide(title));
    window.takeFocus();
    std::fprintf(log, "mapped\n");
    std::fflush(log);
    std::size_t written = 0;
    for (;;) {
        pumpMessages(1000, [&] {
            for (; written < window.keys().size(); ++written) {
                const KeyMessage& key = window.keys()[written];
                std::fprintf(log, "%s %u 0x%02X %d\n", key.up ? "up" : "down", key.virtualKey,
                             key.scanCode, key.extended ? 1 : 0);
            }
            std::fflush(log);
            return !IsWindow(window.handle());
        });
        if (!IsWindow(window.handle())) {
            return 0;
        }
    }
}

int origin(const char* title) {
    const HWND window = FindWindowW(nullptr, wide(title).c_str());
    POINT point = {0, 0};
    if (window == nullptr || !ClientToScreen(window, &point)) {
        return 1;
    }
    std::printf("%ld %ld\n", static_cast<long>(point.x), static_cast<long>(point.y));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "record") == 0) {
        return record(argv[2], argv[3]);
    }
    if (argc == 3 && std::strcmp(argv[1], "origin") == 0) {
        return origin(argv[2]);
    }
    std::fprintf(stderr, "usage: win32_e2e_tool record TITLE LOG | origin TITLE\n");
    return 2;
}
