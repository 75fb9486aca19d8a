#include "platform/wayland/WaylandInput.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "fake-input-client.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace quindorel {

namespace {

std::uint32_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

// The keymap text in a memory file, as the protocol hands keymaps over; -1
// when none can be made.
int keymapFile(xkb_keymap* keymap, std::uint32_t& size) {
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (text == nullptr) {
        return -1;
    }
    size = static_cast<std::uint32_t>(std::strlen(text) + 1);
    int fd = memfd_create("quindorel-keymap", MFD_CLOEXEC);
    std::uint32_t written = 0;
    while (fd >= 0 && written < size) {
        const ssize_t n = write(fd, text + written, size - written);
        if (n <= 0) {
            close(fd);
            fd = -1;
        } else {
            written += static_cast<std::uint32_t>(n);
        }
    }
    std::free(text);
    return fd;
}

}  // namespace

std::unique_ptr<WaylandInput> WaylandInput::create(WaylandConnection& connection) {
    const auto& globals = connection.globals();
    if (globals.seat != nullptr && globals.virtualKeyboards == nullptr &&
        globals.fakeInput != nullptr) {
        return createFake(connection);
    }
    if (globals.seat == nullptr || globals.virtualKeyboards == nullptr) {
        return nullptr;
    }
    XkbPtr<xkb_keymap> keymap = chooseKeymap(connection.seatKeyboard().keymap);
    if (!keymap) {
        return nullptr;
    }
    std::unique_ptr<WaylandInput> input(new WaylandInput(connection, std::move(keymap)));
    input->keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
        globals.virtualKeyboards, globals.seat);
    if (!input->giveKeymap()) {
        return nullptr;
    }
    // On a desktop without a keyboard the seat gains one now: wait until
    // its keymap reaches us. Sway 1.7 may still give the window in front the
    // keyboard focus only later, or when a window is activated, so keys sent
    // at once can be lost: the keyboard is made once, at start.
    for (int i = 0; i < 3 && connection.seatKeyboard().keymap.empty(); ++i) {
        connection.roundtrip();
    }
    return input;
}

std::unique_ptr<WaylandInput> WaylandInput::createFake(WaylandConnection& connection) {
    // KWin's fake input goes through KWin's own keyboard, with the seat's
    // keymap: the layout rule reads that keymap.
    XkbPtr<xkb_keymap> keymap = chooseKeymap(connection.seatKeyboard().keymap);
    if (!keymap) {
        return nullptr;
    }
    std::unique_ptr<WaylandInput> input(new WaylandInput(connection, std::move(keymap)));
    input->fakeInput_ = connection.globals().fakeInput;
    org_kde_kwin_fake_input_authenticate(input->fakeInput_, "Quindorel",
                                         "holds keys down in the window you choose");
    return connection.flush() ? std::move(input) : nullptr;
}

std::optional<SystemKey> WaylandInput::codeFor(const KeyStroke& stroke) const {
    return quindorel::codeFor(layout_, stroke);
}

bool WaylandInput::giveKeymap() {
    if (keyboard_ == nullptr) {
        return true;  // KWin's keyboard has the seat's keymap already
    }
    std::uint32_t size = 0;
    const int fd = keymapFile(keymap_.get(), size);
    if (fd < 0) {
        return false;
    }
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    close(fd);
    return connection_.flush();
}

WaylandInput::WaylandInput(WaylandConnection& connection, XkbPtr<xkb_keymap> keymap)
    : connection_(connection),
      keymap_(std::move(keymap)),
      state_(xkb_state_new(keymap_.get())),
      layout_(XkbKeyLayout::fromKeymap(keymap_.get(), 0)) {}

WaylandInput::~WaylandInput() {
    if (pointer_ != nullptr) {
        zwlr_virtual_pointer_v1_destroy(pointer_);
    }
    if (keyboard_ != nullptr) {
        zwp_virtual_keyboard_v1_destroy(keyboard_);
    }
    connection_.flush();
}

KeySendResult WaylandInput::send(const std::vector<KeyStroke>& strokes) {
    KeySendResult result;
    const std::uint32_t time = nowMs();
    for (const KeyStroke& stroke : strokes) {
        result.keys.push_back(isMouseButton(stroke.virtualKey) ? sendButton(stroke, time)
                                                               : sendKey(stroke, time));
    }
    if (!connection_.flush()) {
        result.outcome = KeySendOutcome::Refused;
    }
    return result;
}

std::optional<SystemKey> WaylandInput::sendKey(const KeyStroke& stroke, std::uint32_t time) {
    const std::optional<std::uint32_t> code = codeFor(stroke);
    if (!code) {
        return std::nullopt;
    }
    const auto state = stroke.down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED;
    if (fakeInput_ != nullptr) {
        // KWin works out the modifiers of its own keyboard.
        org_kde_kwin_fake_input_keyboard_key(fakeInput_, *code, state);
        return *code;
    }
    zwp_virtual_keyboard_v1_key(keyboard_, time, *code, state);
    const auto changed = state_ ? xkb_state_update_key(state_.get(), *code + 8,
                                                       stroke.down ? XKB_KEY_DOWN : XKB_KEY_UP)
                                : 0;
    if (changed != 0) {
        zwp_virtual_keyboard_v1_modifiers(
            keyboard_, xkb_state_serialize_mods(state_.get(), XKB_STATE_MODS_DEPRESSED),
            xkb_state_serialize_mods(state_.get(), XKB_STATE_MODS_LATCHED),
            xkb_state_serialize_mods(state_.get(), XKB_STATE_MODS_LOCKED),
            xkb_state_serialize_layout(state_.get(), XKB_STATE_LAYOUT_EFFECTIVE));
    }
    return *code;
}

std::optional<SystemKey> WaylandInput::sendButton(const KeyStroke& stroke, std::uint32_t time) {
    const std::optional<std::uint32_t> code = codeFor(stroke);
    if (code && fakeInput_ != nullptr) {
        org_kde_kwin_fake_input_button(
            fakeInput_, *code,
            stroke.down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        return *code;
    }
    if (!code || !ensurePointer()) {
        return std::nullopt;
    }
    zwlr_virtual_pointer_v1_button(
        pointer_, time, *code,
        stroke.down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer_);
    return *code;
}

bool WaylandInput::ensurePointer() {
    // Made when first needed and kept to the end: on a desktop without a
    // mouse a pointer that comes and goes crashes Sway 1.7 (docs/wayland.md).
    const auto& globals = connection_.globals();
    if (pointer_ == nullptr && globals.virtualPointers != nullptr) {
        pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.virtualPointers,
                                                                          globals.seat);
    }
    return pointer_ != nullptr;
}

bool WaylandInput::movePointer(std::uint32_t x, std::uint32_t y, std::uint32_t width,
                               std::uint32_t height) {
    if (fakeInput_ != nullptr) {
        // In the desktop's own coordinates.
        org_kde_kwin_fake_input_pointer_motion_absolute(fakeInput_, wl_fixed_from_int(int(x)),
                                                        wl_fixed_from_int(int(y)));
        return connection_.flush();
    }
    if (!ensurePointer()) {
        return false;
    }
    zwlr_virtual_pointer_v1_motion_absolute(pointer_, nowMs(), x, y, width, height);
    zwlr_virtual_pointer_v1_frame(pointer_);
    return connection_.flush();
}

}  // namespace quindorel
