#include "platform/win32/Win32Desktop.h"

#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/WindowTitle.h"
#include "platform/win32/KeyEvents.h"

namespace quindorel {

namespace {

// A cycle in the window chain (windows restacked under the walk) must not
// hang the program; no desktop has this many top-level windows.
constexpr int kMaxWalkSteps = 100000;
// One UTF-16 unit more than a listed title holds, and the terminating zero:
// a character of two units at the end is read whole and then cut whole.
constexpr int kTitleBufferLength = static_cast<int>(kTitleUnits) + 2;

// Window handles are 32 bits wide on 64-bit Windows too; the upper half is
// the sign extension of the lower.
HWND toHandle(WindowId id) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(id));
}

WindowId toId(HWND window) {
    return static_cast<WindowId>(reinterpret_cast<std::intptr_t>(window));
}

// "0x1a2b": how the log names a window.
std::string hexId(WindowId window) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x",
                  static_cast<unsigned>(static_cast<std::uint32_t>(window)));
    return text;
}

std::string toUtf8(const wchar_t* text, int length) {
    if (length <= 0) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    }
    return result;
}

std::string windowTitle(HWND window) {
    wchar_t buffer[kTitleBufferLength] = {};
    const int length = GetWindowTextW(window, buffer, kTitleBufferLength);
    return cutTitle(toUtf8(buffer, length));
}

// A window that is gone, or whose thread no longer answers, is left alone:
// placing a hung window would hang the program with it.
bool canPlace(HWND window) {
    return IsWindow(window) && !IsHungAppWindow(window);
}

bool isForeground(HWND window) {
    const HWND foreground = GetForegroundWindow();
    return foreground != nullptr &&
           (foreground == window || GetAncestor(foreground, GA_ROOTOWNER) == window);
}

// Whether the window under the pointer is `window` or inside it: not any
// other window, so not one of this program's (which a hold never aims at).
bool pointerOver(HWND window) {
    POINT at = {};
    const HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
    return under != nullptr && (under == window || GetAncestor(under, GA_ROOT) == window);
}

// How long a pointer move may take to show in the pointer's position, and
// how long a window under the pointer is given to take button events.
constexpr auto kPointerWait = std::chrono::milliseconds(100);
constexpr auto kButtonSettle = std::chrono::milliseconds(50);

// How long a pass waits for the target to come to the foreground.
constexpr auto kForegroundWait = std::chrono::milliseconds(200);

}  // namespace

void Win32Desktop::logFailure(LogLevel level, const std::string& what, unsigned long error) const {
    log_.write(LogTopic::Win32, level, what + " (error " + std::to_string(error) + ")");
}

std::vector<TopLevelWindow> Win32Desktop::topLevelWindows() {
    std::vector<TopLevelWindow> windows;
    HWND window = GetWindow(GetDesktopWindow(), GW_CHILD);
    for (int step = 0; window != nullptr && step < kMaxWalkSteps; ++step) {
        TopLevelWindow entry;
        entry.id = toId(window);
        entry.title = windowTitle(window);
        entry.visible = IsWindowVisible(window) != FALSE;
        entry.owned = GetWindow(window, GW_OWNER) != nullptr;
        // A window destroyed under the walk ends the chain; what it read
        // about that window is no longer true.
        if (IsWindow(window)) {
            windows.push_back(std::move(entry));
        }
        window = GetWindow(window, GW_HWNDNEXT);
    }
    return windows;
}

void Win32Desktop::makeTopMost(WindowId window) {
    const HWND handle = toHandle(window);
    if (canPlace(handle)) {
        if (!SetWindowPos(handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE)) {
            logFailure(LogLevel::Debug, "SetWindowPos refused to raise window " + hexId(window),
                       GetLastError());
        }
    }
}

void Win32Desktop::releaseTopMost(WindowId window) {
    const HWND handle = toHandle(window);
    if (canPlace(handle)) {
        if (!SetWindowPos(handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE)) {
            logFailure(LogLevel::Debug, "SetWindowPos refused to release window " + hexId(window),
                       GetLastError());
        }
    }
}

void Win32Desktop::showWindow(WindowId window) {
    const HWND handle = toHandle(window);
    if (!canPlace(handle)) {
        return;
    }
    ShowWindow(handle, SW_SHOWDEFAULT);
    // Synthetic keys go to the foreground window's focus; ask for the target
    // to be it and wait a moment for it, as the X11 back end waits for the
    // focus. The foreground lock may refuse: the keys then go where the focus is.
    if (!SetForegroundWindow(handle)) {
        logFailure(LogLevel::Debug, "SetForegroundWindow refused window " + hexId(window),
                   GetLastError());
    }
    waiter_->waitUntil([handle] { return isForeground(handle); }, kForegroundWait);
}

KeySendResult Win32Desktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    KeyEvents events = keyEvents(strokes);
    KeySendResult result{KeySendOutcome::Sent, std::move(events.keys), {}};
    if (events.inputs.empty()) {
        return result;
    }
    std::vector<GuardNote> notes;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (const auto key = result.keys[i]) {
            const bool modifier = isModifierKey(fromSystemKey(*key).virtualKey);
            notes.push_back({*key, strokes[i].down, false, modifier});
        }
    }
    UINT sent = 0;
    DWORD sendError = 0;
    guard_.sendTold(notes, [&] {
        // One call, so that no other input can come between the keys. Windows
        // takes fewer (or none, access denied) when a higher-integrity window
        // such as a program run as administrator has the focus.
        sent =
            SendInput(static_cast<UINT>(events.inputs.size()), events.inputs.data(), sizeof(INPUT));
        sendError = GetLastError();
        // A button event goes to the window under the pointer when it is taken
        // from the input queue (under Wine, when that window's thread reads it):
        // the window is given a moment to take it before the pass goes on and
        // moves the window away from under the pointer.
        if (std::any_of(events.inputs.begin(), events.inputs.end(),
                        [](const INPUT& input) { return input.type == INPUT_MOUSE; })) {
            waiter_->waitUntil([] { return false; }, kButtonSettle);
        }
    });
    if (sent != events.inputs.size()) {
        logFailure(LogLevel::Warning,
                   "SendInput took " + std::to_string(sent) + " of " +
                       std::to_string(events.inputs.size()) + " key and button events",
                   sendError);
        result.outcome = KeySendOutcome::Refused;
    }
    return result;
}

bool Win32Desktop::pointerInto(WindowId window) {
    const HWND handle = toHandle(window);
    if (!canPlace(handle)) {
        return false;
    }
    if (pointerOver(handle)) {
        return true;
    }
    RECT client = {};
    POINT corner = {0, 0};
    if (!GetClientRect(handle, &client) || !ClientToScreen(handle, &corner)) {
        return false;
    }
    const RECT area = {corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
    const int deskLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int deskTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int deskWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int deskHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const RECT desk = {deskLeft, deskTop, deskLeft + deskWidth, deskTop + deskHeight};
    RECT visible = {};
    if (deskWidth < 2 || deskHeight < 2 || !IntersectRect(&visible, &area, &desk)) {
        return false;
    }
    // 0 to 65535 span the virtual desktop from its first pixel to its last.
    const auto normal = [](LONG at, int first, int size) {
        return static_cast<LONG>((static_cast<long long>(at - first) * 65535 + (size - 1) / 2) /
                                 (size - 1));
    };
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = normal((visible.left + visible.right) / 2, deskLeft, deskWidth);
    move.mi.dy = normal((visible.top + visible.bottom) / 2, deskTop, deskHeight);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    if (SendInput(1, &move, sizeof(INPUT)) != 1) {
        logFailure(LogLevel::Warning,
                   "SendInput refused a pointer move into window " + hexId(window), GetLastError());
    }
    return waiter_->waitUntil([handle] { return pointerOver(handle); }, kPointerWait);
}

bool Win32Desktop::ownWindowHasKeyboard() {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) {
        return false;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId();
}

WindowId Win32Desktop::activeWindow() {
    return ownWindowHasKeyboard() ? 0 : toId(GetForegroundWindow());
}

bool Win32Desktop::setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) {
    if (action == KeyAction::StopHold) {
        if (stopKeyId_ != 0) {
            return true;
        }
        const ATOM atom = GlobalAddAtomA(kStopKeyAtom);
        if (atom == 0 ||
            RegisterHotKey(toHandle(owner), atom, MOD_CONTROL | MOD_SHIFT, 'S') == FALSE) {
            // 1409 (ERROR_HOTKEY_ALREADY_REGISTERED): another program has it.
            logFailure(LogLevel::Warning, "RegisterHotKey refused Ctrl+Shift+S", GetLastError());
            return false;
        }
        stopKeyId_ = atom;
        return true;
    }
    if (toggleKey_.id != 0 && key && toggleKey_.key == *key && toggleKey_.owner == owner) {
        return true;
    }
    if (toggleKey_.id != 0) {
        UnregisterHotKey(toHandle(toggleKey_.owner), toggleKey_.id);
        toggleKey_ = {};
    }
    if (!key) {
        return true;
    }
    UINT modifiers = MOD_NOREPEAT;
    modifiers |= (key->modifiers & HotKey::kCtrl) != 0 ? MOD_CONTROL : 0;
    modifiers |= (key->modifiers & HotKey::kShift) != 0 ? MOD_SHIFT : 0;
    modifiers |= (key->modifiers & HotKey::kAlt) != 0 ? MOD_ALT : 0;
    modifiers |= (key->modifiers & HotKey::kWin) != 0 ? MOD_WIN : 0;
    const ATOM atom = GlobalAddAtomA(kToggleKeyAtom);
    if (atom == 0 || RegisterHotKey(toHandle(owner), atom, modifiers, key->virtualKey) == FALSE) {
        logFailure(LogLevel::Warning, "RegisterHotKey refused the start/stop key", GetLastError());
        return false;
    }
    toggleKey_ = {atom, owner, *key};
    return true;
}

std::optional<KeyAction> Win32Desktop::keyActionOf(const void* nativeEvent) {
    const auto* message = static_cast<const MSG*>(nativeEvent);
    if (message == nullptr || message->message != WM_HOTKEY) {
        return std::nullopt;
    }
    if (stopKeyId_ != 0 && message->wParam == static_cast<WPARAM>(stopKeyId_)) {
        return KeyAction::StopHold;
    }
    if (toggleKey_.id != 0 && message->wParam == static_cast<WPARAM>(toggleKey_.id)) {
        return KeyAction::ToggleHold;
    }
    return std::nullopt;
}

}  // namespace quindorel
