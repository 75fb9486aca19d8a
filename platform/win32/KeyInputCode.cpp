#include "platform/win32/KeyInputCode.h"

#include "platform/KeyPlaces.h"

namespace quindorel {

namespace {

constexpr std::uint8_t kPrintScreen = 44;

}  // namespace

KeyInputCode keyInputCode(std::uint8_t virtualKey, const KeyboardLayout& layout) {
    // The US scan codes are the place of the punctuation keys, and for the
    // others only a fallback for layouts that do not name one.
    const KeyPlace* key = keyPlace(virtualKey);
    KeyInputCode code;
    code.virtualKey = virtualKey;
    code.extended = key != nullptr && key->extended;
    if (key != nullptr && isKeyByPlace(virtualKey)) {
        code.scanCode = key->scanCode;
        const auto atPlace = static_cast<std::uint8_t>(layout.virtualKeyAt(code.scanCode) & 0xFFu);
        if (atPlace != 0) {
            code.virtualKey = atPlace;
        }
        return code;
    }
    code.scanCode = static_cast<std::uint8_t>(layout.scanCodeOf(virtualKey) & 0xFFu);
    // Layouts answer 0x54 (the Alt+PrintScreen code) for PrintScreen; the key
    // itself reports E0 37.
    if (key != nullptr && (virtualKey == kPrintScreen || code.scanCode == 0)) {
        code.scanCode = key->scanCode;
    }
    return code;
}

}  // namespace quindorel
