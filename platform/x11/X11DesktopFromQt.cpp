// The one part of the X11 back end that knows Qt: it finds Qt's connection.
#include <QGuiApplication>
#include <cstdlib>

#include <xcb/xcb.h>

#include "platform/x11/X11Desktop.h"

namespace quindorel {

std::unique_ptr<X11Desktop> X11Desktop::fromQt(SystemLog log, std::unique_ptr<Waiter> waiter) {
    auto* x11 = qGuiApp == nullptr ? nullptr
                                   : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return nullptr;
    }
    // Qt opens the display that DISPLAY names; its screen number is ours.
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    return std::make_unique<X11Desktop>(x11->connection(), screen, std::move(log),
                                        std::move(waiter));
}

}  // namespace quindorel
