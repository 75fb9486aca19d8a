#pragma once

namespace quindorel {

class MainWindow;

// The start-up sequence of the main window: look, caption and title, then
// every saved choice turned back into the state of its control, the
// application list filled and, last, the saved key set read and marked.
class StartUp {
public:
    explicit StartUp(MainWindow& window) : window_(window) {}
    void run();
    // Once the window is on screen: asks what "X seconds" stands for when
    // that row was restored, then starts a restored switch's wait clock, or
    // leaves the switch off when no length was given.
    void runShown();

    static constexpr const char* kCaption = "Quindorel";
    static constexpr const char* kApplicationTitle = "Tessavrin";
    static constexpr const char* kCursorFileName = "HAND-M.CUR";

private:
    MainWindow& window_;
};

}  // namespace quindorel
