#include "platform/x11/XcbErrors.h"

#include <xcb/sync.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace quindorel {

namespace {

// The core error codes, by number (X11/X.h).
constexpr std::array<const char*, 18> kErrorNames = {
    "Success",     "BadRequest", "BadValue",    "BadWindow",   "BadPixmap", "BadAtom",
    "BadCursor",   "BadFont",    "BadMatch",    "BadDrawable", "BadAccess", "BadAlloc",
    "BadColormap", "BadGC",      "BadIDChoice", "BadName",     "BadLength", "BadImplementation"};

// The core requests this back end sends, by major opcode (X11/Xproto.h).
constexpr std::pair<std::uint8_t, const char*> kRequestNames[] = {
    {3, "GetWindowAttributes"},
    {8, "MapWindow"},
    {12, "ConfigureWindow"},
    {14, "GetGeometry"},
    {15, "QueryTree"},
    {16, "InternAtom"},
    {20, "GetProperty"},
    {25, "SendEvent"},
    {33, "GrabKey"},
    {34, "UngrabKey"},
    {38, "QueryPointer"},
    {40, "TranslateCoordinates"},
    {42, "SetInputFocus"},
    {43, "GetInputFocus"},
    {100, "ChangeKeyboardMapping"},
    {101, "GetKeyboardMapping"},
    {102, "ChangeKeyboardControl"},
    {103, "GetKeyboardControl"},
    {119, "GetModifierMapping"},
};

// An extension's request is named by its extension; the extensions are
// asked only now that an error needs it.
std::string requestName(xcb_connection_t* connection, std::uint8_t major) {
    for (const auto& [opcode, name] : kRequestNames) {
        if (opcode == major) {
            return name;
        }
    }
    if (major < 128) {
        return "core request";
    }
    const std::pair<xcb_extension_t*, const char*> extensions[] = {
        {&xcb_test_id, "XTEST"}, {&xcb_sync_id, "SYNC"}, {&xcb_input_id, "XInputExtension"}};
    for (const auto& [id, name] : extensions) {
        const xcb_query_extension_reply_t* data = xcb_get_extension_data(connection, id);
        if (data != nullptr && data->present && data->major_opcode == major) {
            return std::string(name) + " request";
        }
    }
    return "extension request";
}

}  // namespace

std::string windowText(std::uint32_t window) {
    char text[24];
    std::snprintf(text, sizeof text, "window 0x%x", static_cast<unsigned>(window));
    return text;
}

void XcbErrors::report(xcb_generic_error_t* error, LogLevel level, std::string_view what) const {
    if (error == nullptr) {
        return;
    }
    const char* code = error->error_code < kErrorNames.size() ? kErrorNames[error->error_code]
                                                              : "an extension's error";
    char detail[160];
    std::snprintf(
        detail, sizeof detail,
        ": X error %s (%u) from %s (major %u, minor %u), resource 0x%x, sequence %u", code,
        static_cast<unsigned>(error->error_code),
        requestName(connection_, error->major_code).c_str(),
        static_cast<unsigned>(error->major_code), static_cast<unsigned>(error->minor_code),
        static_cast<unsigned>(error->resource_id), static_cast<unsigned>(error->full_sequence));
    std::free(error);
    log_.write(LogTopic::X11, level, std::string(what) + detail);
}

void XcbErrors::expect(xcb_void_cookie_t cookie, LogLevel level, std::string what) {
    pending_.push_back({cookie, level, std::move(what)});
}

void XcbErrors::settle() {
    // The first check syncs with the server when needed; by then every
    // earlier request has its answer, and the other checks only read it.
    std::vector<Pending> pending = std::move(pending_);
    pending_.clear();
    for (Pending& request : pending) {
        report(xcb_request_check(connection_, request.cookie), request.level, request.what);
    }
}

void XcbErrors::check(xcb_void_cookie_t cookie, LogLevel level, std::string what) {
    expect(cookie, level, std::move(what));
    settle();
}

}  // namespace quindorel
