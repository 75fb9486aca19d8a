// Placeholder until the xcb back end lands.
#include "platform/x11/X11Desktop.h"

namespace quindorel {

struct X11Desktop::State {};

X11Desktop::X11Desktop(xcb_connection_t*, int) : state_(std::make_unique<State>()) {}
X11Desktop::~X11Desktop() = default;
std::unique_ptr<X11Desktop> X11Desktop::fromQt() { return nullptr; }
std::vector<TopLevelWindow> X11Desktop::topLevelWindows() { return {}; }
void X11Desktop::makeTopMost(WindowId) {}
void X11Desktop::releaseTopMost(WindowId) {}
void X11Desktop::showWindow(WindowId) {}
void X11Desktop::sendKeys(const std::vector<KeyStroke>&) {}
std::int32_t X11Desktop::addAtom(const std::string&) { return 0; }
bool X11Desktop::registerHotKey(WindowId, std::int32_t, unsigned, std::uint8_t) { return false; }
std::optional<std::int32_t> X11Desktop::hotKeyFromNativeEvent(const void*) { return std::nullopt; }

}  // namespace quindorel
