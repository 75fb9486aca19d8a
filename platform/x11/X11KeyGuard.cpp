#include "platform/x11/X11KeyGuard.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>

#include "platform/x11/X11Keyboard.h"

namespace quindorel {

void letGoOnX11(const std::vector<GuardNote>& owed, const char* displayName) {
    xcb_connection_t* connection = xcb_connect(displayName, nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        for (const GuardNote& note : owed) {
            if (note.key > kButtonKeyBase && note.key <= kButtonKeyBase + 255) {
                xcb_test_fake_input(connection, XCB_BUTTON_RELEASE,
                                    static_cast<std::uint8_t>(note.key - kButtonKeyBase),
                                    XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
                continue;
            }
            if (note.key > 255) {
                continue;  // no keycode: not ours
            }
            xcb_test_fake_input(connection, XCB_KEY_RELEASE, static_cast<std::uint8_t>(note.key),
                                XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            if (note.repeat) {
                const std::uint32_t values[] = {note.key, XCB_AUTO_REPEAT_MODE_ON};
                xcb_change_keyboard_control(connection, XCB_KB_KEY | XCB_KB_AUTO_REPEAT_MODE,
                                            values);
            }
        }
        // Answered only once the server has handled every request before it.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
}

}  // namespace quindorel
