#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SystemLog.h"

namespace quindorel {

// Where the X11 back end's X errors go: each one is logged with what was
// being done, then freed. No error ever reaches Qt's event handler or stops a
// call, as before; it only leaves a line in the log.
class XcbErrors {
public:
    XcbErrors(xcb_connection_t* connection, SystemLog log)
        : connection_(connection), log_(std::move(log)) {}
    XcbErrors(const XcbErrors&) = delete;
    XcbErrors& operator=(const XcbErrors&) = delete;

    xcb_connection_t* connection() const { return connection_; }

    // Logs `error` (when there is one) and frees it.
    void report(xcb_generic_error_t* error, LogLevel level, std::string_view what) const;
    // A request sent with its _checked variant: its error, if any, is logged
    // at the next settle(), which costs at most one round trip for them all.
    void expect(xcb_void_cookie_t cookie, LogLevel level, std::string what);
    void settle();
    // expect() and settle() at once.
    void check(xcb_void_cookie_t cookie, LogLevel level, std::string what);

private:
    struct Pending {
        xcb_void_cookie_t cookie;
        LogLevel level;
        std::string what;
    };

    xcb_connection_t* connection_;
    SystemLog log_;
    std::vector<Pending> pending_;
};

// "window 0x1c00004": how the log names a window.
std::string windowText(std::uint32_t window);

}  // namespace quindorel
