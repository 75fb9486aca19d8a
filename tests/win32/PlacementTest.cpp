// Top-most band, the move to (0, 0), showing, and dead windows.

#include <cstdio>
#include <string>

#include "TestWindow.h"
#include "Tests.h"
#include "platform/win32/Win32Desktop.h"

namespace quindorel::test {

namespace {

bool isTopMost(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string describe(const RECT& rect) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld,%ld) %ldx%ld", static_cast<long>(rect.left),
                  static_cast<long>(rect.top), static_cast<long>(rect.right - rect.left),
                  static_cast<long>(rect.bottom - rect.top));
    return text;
}

void topMostAndBack(TestContext& context) {
    TestWindow window(L"Quindorel placement");
    Win32Desktop desktop;
    RECT before = {};
    GetWindowRect(window.handle(), &before);

    desktop.makeTopMost(window.id());
    pumpMessages(20);
    RECT raised = {};
    GetWindowRect(window.handle(), &raised);
    context.expect(isTopMost(window.handle()), "makeTopMost did not set WS_EX_TOPMOST");
    context.expect(EqualRect(&before, &raised) != FALSE,
                   "makeTopMost moved the window: " + describe(before) + " -> " + describe(raised));

    desktop.releaseTopMost(window.id());
    pumpMessages(20);
    RECT released = {};
    GetWindowRect(window.handle(), &released);
    context.expect(!isTopMost(window.handle()), "releaseTopMost left WS_EX_TOPMOST set");
    context.expect(released.left == 0 && released.top == 0,
                   "releaseTopMost should move to (0,0): " + describe(released));
    context.expect(
        released.right - released.left == before.right - before.left &&
            released.bottom - released.top == before.bottom - before.top,
        "releaseTopMost changed the size: " + describe(before) + " -> " + describe(released));
}

void showBringsWindowForward(TestContext& context) {
    struct Row {
        const char* state;
        bool visible;
        bool minimized;
    };
    const Row rows[] = {
        {"hidden", false, false},
        {"in the background", true, false},
        {"minimized", true, true},
    };
    for (const Row& row : rows) {
        const std::string which = std::string(row.state) + " window: ";
        TestWindow window(L"Quindorel placement target", row.visible);
        if (row.minimized) {
            ShowWindow(window.handle(), SW_MINIMIZE);
        }
        TestWindow other(L"Quindorel placement other");
        other.takeFocus();
        Win32Desktop desktop;
        desktop.showWindow(window.id());
        const bool foreground =
            pumpMessages(1000, [&] { return GetForegroundWindow() == window.handle(); });
        context.expect(IsWindowVisible(window.handle()) != FALSE, which + "left hidden");
        context.expect(IsIconic(window.handle()) == FALSE, which + "left minimized");
        context.expect(foreground, which + "not made the foreground window");
    }
}

void deadWindowsAreIgnored(TestContext& context) {
    WindowId gone = 0;
    {
        TestWindow window(L"Quindorel placement gone");
        gone = window.id();
    }
    Win32Desktop desktop;
    for (const WindowId id : {gone, WindowId{0}, WindowId{-1}}) {
        desktop.makeTopMost(id);
        desktop.showWindow(id);
        desktop.releaseTopMost(id);
    }
    context.expect(!desktop.setUpStopKey(gone), "stop key set up for a destroyed window");
    // The program's own windows were not touched by the calls on -1 or 0.
    context.expect(!isTopMost(GetDesktopWindow()), "desktop window became top-most");
}

}  // namespace

void addPlacementTests(TestRunner& runner) {
    runner.add("makeTopMost sets the top-most band, releaseTopMost clears it at (0,0)",
               topMostAndBack);
    runner.add("showWindow brings a hidden, background or minimized window forward",
               showBringsWindowForward);
    runner.add("placement and hot keys on dead windows do nothing", deadWindowsAreIgnored);
}

}  // namespace quindorel::test
