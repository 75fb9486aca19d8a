#include "TestWindow.h"

#include <cstdint>

namespace quindorel::test {

namespace {

constexpr wchar_t kClassName[] = L"QuindorelTestWindow";

void registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

TestWindow::TestWindow(const std::wstring& title, bool visible, HWND owner) {
    registerClassOnce();
    handle_ = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 100, 120, 300, 200,
                              owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (handle_ == nullptr) {
        return;
    }
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::procedure));
    if (visible) {
        ShowWindow(handle_, SW_SHOWNORMAL);
        UpdateWindow(handle_);
    }
    pumpMessages(20);
}

TestWindow::~TestWindow() {
    if (handle_ != nullptr) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
        pumpMessages(10);
    }
}

WindowId TestWindow::id() const {
    return static_cast<WindowId>(reinterpret_cast<std::intptr_t>(handle_));
}

bool TestWindow::takeFocus() {
    SetForegroundWindow(handle_);
    SetActiveWindow(handle_);
    SetFocus(handle_);
    return pumpMessages(1000, [this] { return GetFocus() == handle_; });
}

LRESULT CALLBACK TestWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (self != nullptr) {
                KeyMessage key;
                key.virtualKey = static_cast<unsigned>(wParam);
                key.scanCode = static_cast<unsigned>((lParam >> 16) & 0xFF);
                key.extended = ((lParam >> 24) & 1) != 0;
                key.up = message == WM_KEYUP || message == WM_SYSKEYUP;
                self->keys_.push_back(key);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            if (self != nullptr) {
                self->keys_.push_back({VK_LBUTTON, 0, false, message == WM_LBUTTONUP});
            }
            // As a program that takes drags does: the release comes here
            // wherever the pointer is by then.
            if (message == WM_LBUTTONDOWN) {
                SetCapture(window);
            } else {
                ReleaseCapture();
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool pumpMessages(int milliseconds, const std::function<bool()>& done,
                  const std::function<void(const MSG&)>& filter) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (filter) {
                filter(message);
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done && done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return done ? done() : true;
        }
        // Short waits: the focus can change without a message to this thread.
        const ULONGLONG wait = deadline - now < 20 ? deadline - now : 20;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait), QS_ALLINPUT);
    }
}

}  // namespace quindorel::test
