// The walk over the top-level windows: flags, titles and stacking order.

#include <algorithm>
#include <string>

#include "TestWindow.h"
#include "Tests.h"
#include "platform/win32/Win32Desktop.h"

namespace quindorel::test {

namespace {

const TopLevelWindow* findWindow(const std::vector<TopLevelWindow>& windows, WindowId id) {
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [id](const TopLevelWindow& window) { return window.id == id; });
    return found == windows.end() ? nullptr : &*found;
}

long positionOf(const std::vector<TopLevelWindow>& windows, WindowId id) {
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [id](const TopLevelWindow& window) { return window.id == id; });
    return found == windows.end() ? -1 : static_cast<long>(found - windows.begin());
}

void flagsOfOwnWindows(TestContext& context) {
    TestWindow shown(L"Quindorel walk shown");
    TestWindow hidden(L"Quindorel walk hidden", false);
    TestWindow untitled(L"");
    TestWindow owned(L"Quindorel walk owned", true, shown.handle());
    Win32Desktop desktop;
    const std::vector<TopLevelWindow> windows = desktop.topLevelWindows();

    struct Row {
        const char* name;
        const TestWindow& window;
        std::string title;
        bool visible;
        bool owned;
    };
    const Row rows[] = {
        {"shown", shown, "Quindorel walk shown", true, false},
        {"hidden", hidden, "Quindorel walk hidden", false, false},
        {"untitled", untitled, "", true, false},
        {"owned", owned, "Quindorel walk owned", true, true},
    };
    for (const Row& row : rows) {
        const TopLevelWindow* found = findWindow(windows, row.window.id());
        context.expect(found != nullptr, std::string(row.name) + " window not walked");
        if (found == nullptr) {
            continue;
        }
        context.expect(found->title == row.title, std::string(row.name) + ": title '" +
                                                      found->title + "', want '" + row.title + "'");
        context.expect(found->visible == row.visible, std::string(row.name) + ": visible flag");
        context.expect(found->owned == row.owned, std::string(row.name) + ": owned flag");
    }
}

void titlesAsUtf8(TestContext& context) {
    struct Row {
        const char* why;
        std::wstring title;
        std::string expected;
    };
    const Row rows[] = {
        {"long title cut to 79 characters", std::wstring(100, L'x'), std::string(79, 'x')},
        {"spaces kept", L"  Spaced  ", "  Spaced  "},
        {"non-ASCII title in UTF-8", L"Gr\u00fc\u00dfe \u2713",
         "Gr\xc3\xbc\xc3\x9f"
         "e \xe2\x9c\x93"},
        {"cut inside a surrogate pair drops the half", std::wstring(78, L'y') + L"\U0001F600",
         std::string(78, 'y')},
    };
    Win32Desktop desktop;
    for (const Row& row : rows) {
        TestWindow window(row.title);
        const TopLevelWindow* found = nullptr;
        const std::vector<TopLevelWindow> windows = desktop.topLevelWindows();
        found = findWindow(windows, window.id());
        context.expect(found != nullptr && found->title == row.expected,
                       std::string(row.why) + ": got '" + (found ? found->title : "<none>") + "'");
    }
}

void stackingOrder(TestContext& context) {
    TestWindow lower(L"Quindorel walk lower");
    TestWindow upper(L"Quindorel walk upper");
    Win32Desktop desktop;
    const UINT keepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

    SetWindowPos(upper.handle(), HWND_TOP, 0, 0, 0, 0, keepPlace);
    pumpMessages(20);
    std::vector<TopLevelWindow> windows = desktop.topLevelWindows();
    context.expect(positionOf(windows, upper.id()) >= 0 &&
                       positionOf(windows, upper.id()) < positionOf(windows, lower.id()),
                   "raised window should come first");

    SetWindowPos(lower.handle(), HWND_TOP, 0, 0, 0, 0, keepPlace);
    pumpMessages(20);
    windows = desktop.topLevelWindows();
    context.expect(positionOf(windows, lower.id()) >= 0 &&
                       positionOf(windows, lower.id()) < positionOf(windows, upper.id()),
                   "after raising the other, it should come first");
}

void destroyedWindowDropsOut(TestContext& context) {
    Win32Desktop desktop;
    WindowId gone = 0;
    {
        TestWindow window(L"Quindorel walk short-lived");
        gone = window.id();
        context.expect(findWindow(desktop.topLevelWindows(), gone) != nullptr,
                       "window not walked while it lives");
    }
    context.expect(findWindow(desktop.topLevelWindows(), gone) == nullptr,
                   "destroyed window still walked");
}

}  // namespace

void addWindowWalkTests(TestRunner& runner) {
    runner.add("walk reports title, visible and owned of each window", flagsOfOwnWindows);
    runner.add("walk reads titles as UTF-8, at most 79 characters", titlesAsUtf8);
    runner.add("walk lists windows top of the stack first", stackingOrder);
    runner.add("walk leaves out a destroyed window", destroyedWindowDropsOut);
}

}  // namespace quindorel::test
