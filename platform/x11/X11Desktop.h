#pragma once

#include <memory>

#include "platform/NativeDesktop.h"

struct xcb_connection_t;

namespace quindorel {

// The desktop on an X server, through xcb on a connection that someone else
// owns (Qt's, or a test's).
class X11Desktop : public NativeDesktop {
public:
    // `screen` is the screen number whose root window is walked.
    X11Desktop(xcb_connection_t* connection, int screen);
    ~X11Desktop() override;

    // The desktop on Qt's own xcb connection; null when Qt is not on xcb.
    static std::unique_ptr<X11Desktop> fromQt();

    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    void showWindow(WindowId window) override;
    void sendKeys(const std::vector<KeyStroke>& strokes) override;
    std::int32_t addAtom(const std::string& name) override;
    bool registerHotKey(WindowId owner, std::int32_t id, unsigned modifiers,
                        std::uint8_t virtualKey) override;
    std::optional<std::int32_t> hotKeyFromNativeEvent(const void* nativeEvent) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quindorel
