#pragma once

#include "platform/win32/WindowsApi.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel::test {

// One key message as the window received it; the left mouse button's
// carries its virtual key and no scan code.
struct KeyMessage {
    unsigned virtualKey = 0;
    unsigned scanCode = 0;
    bool extended = false;
    bool up = false;
    bool operator==(const KeyMessage&) const = default;
};

// A top-level window of the test's own that records the key and left mouse
// button messages it receives. Key messages never reach DefWindowProc, so Alt
// and F10 open no menu mode.
class TestWindow {
public:
    explicit TestWindow(const std::wstring& title, bool visible = true, HWND owner = nullptr);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return handle_; }
    WindowId id() const;
    const std::vector<KeyMessage>& keys() const { return keys_; }
    void clearKeys() { keys_.clear(); }

    // Brings the window to the foreground with the keyboard focus; true when
    // the system agreed.
    bool takeFocus();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::vector<KeyMessage> keys_;
};

// Dispatches this thread's messages until `done` is true or `milliseconds`
// have passed; `filter` sees each message first, as Qt's native event filter
// does. Returns `done()`.
bool pumpMessages(int milliseconds, const std::function<bool()>& done = {},
                  const std::function<void(const MSG&)>& filter = {});

}  // namespace quindorel::test
