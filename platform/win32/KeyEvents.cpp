#include "platform/win32/KeyEvents.h"

namespace quindorel {

namespace {

class CurrentLayout : public KeyboardLayout {
public:
    unsigned scanCodeOf(std::uint8_t virtualKey) const override {
        return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    }
    unsigned virtualKeyAt(std::uint8_t scanCode) const override {
        return MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX);
    }
};

KeyInputCode codeOf(const KeyStroke& stroke, const KeyboardLayout& layout) {
    if (!stroke.down && stroke.pressed) {
        const KeyInputCode pressed = fromSystemKey(*stroke.pressed);
        // A value without a scan code never came from a key-down: the
        // virtual key is looked up instead, so that the key still comes up.
        if (pressed.scanCode != 0) {
            return pressed;
        }
    }
    return keyInputCode(stroke.virtualKey, layout);
}

// A mouse button's press or release, where the pointer is.
INPUT buttonInput(const KeyStroke& stroke) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    switch (stroke.virtualKey) {
        case VK_LBUTTON:
            input.mi.dwFlags = stroke.down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            break;
        case VK_RBUTTON:
            input.mi.dwFlags = stroke.down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
            break;
        case VK_MBUTTON:
            input.mi.dwFlags = stroke.down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
            break;
        case VK_XBUTTON1:
        case VK_XBUTTON2:
            input.mi.dwFlags = stroke.down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP;
            input.mi.mouseData = stroke.virtualKey == VK_XBUTTON1 ? XBUTTON1 : XBUTTON2;
            break;
        default:
            break;
    }
    return input;
}

}  // namespace

const KeyboardLayout& currentKeyboardLayout() {
    static const CurrentLayout layout;
    return layout;
}

KeyEvents keyEvents(const std::vector<KeyStroke>& strokes) {
    const KeyboardLayout& layout = currentKeyboardLayout();
    KeyEvents events;
    events.inputs.reserve(strokes.size());
    events.keys.reserve(strokes.size());
    for (const KeyStroke& stroke : strokes) {
        if (isMouseButton(stroke.virtualKey)) {
            events.inputs.push_back(buttonInput(stroke));
            events.keys.emplace_back(SystemKey{stroke.virtualKey});
            continue;
        }
        const KeyInputCode code = codeOf(stroke, layout);
        if (code.scanCode == 0) {
            events.keys.emplace_back();
            continue;
        }
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code.virtualKey;
        input.ki.wScan = code.scanCode;
        input.ki.dwFlags = (stroke.down ? 0u : static_cast<DWORD>(KEYEVENTF_KEYUP)) |
                           (code.extended ? static_cast<DWORD>(KEYEVENTF_EXTENDEDKEY) : 0u);
        events.inputs.push_back(input);
        events.keys.emplace_back(toSystemKey(code));
    }
    return events;
}

}  // namespace quindorel
