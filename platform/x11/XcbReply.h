#pragma once

#include <xcb/xcb.h>

#include <string_view>

#include "platform/x11/XcbErrors.h"
#include "platform/x11/XcbPtr.h"

namespace quindorel {

// Waits for the reply of `cookie`; an X error (a window that vanished, say)
// gives null and is logged at debug level with `what` was being done, so that
// it never reaches Qt's event handler.
template <class Reply, class Cookie>
XcbPtr<Reply> xcbReply(const XcbErrors& errors, Cookie cookie,
                       Reply* (*replyFunction)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                       std::string_view what) {
    xcb_generic_error_t* error = nullptr;
    XcbPtr<Reply> reply(replyFunction(errors.connection(), cookie, &error));
    errors.report(error, LogLevel::Debug, what);
    return reply;
}

}  // namespace quindorel
