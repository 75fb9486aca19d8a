#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace quindorel {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// A reply or error of xcb, which the caller must free().
template <class T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

// Waits for the reply of `cookie`; an X error (a window that vanished, say)
// gives null and is swallowed, so that it never reaches Qt's event handler.
template <class Reply, class Cookie>
XcbPtr<Reply> xcbReply(xcb_connection_t* connection, Cookie cookie,
                       Reply* (*replyFunction)(xcb_connection_t*, Cookie, xcb_generic_error_t**)) {
    xcb_generic_error_t* error = nullptr;
    XcbPtr<Reply> reply(replyFunction(connection, cookie, &error));
    std::free(error);
    return reply;
}

// A request sent with its _checked variant whose outcome does not matter: any
// error it causes is dropped instead of being reported as an event.
inline void ignoreErrors(xcb_connection_t* connection, xcb_void_cookie_t cookie) {
    xcb_discard_reply(connection, cookie.sequence);
}

}  // namespace quindorel
