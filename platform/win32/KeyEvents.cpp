#include "platform/win32/KeyEvents.h"

#include "platform/win32/KeyInputCode.h"

namespace quindorel {

std::vector<INPUT> keyEventInputs(const std::vector<KeyStroke>& strokes) {
    std::vector<INPUT> inputs;
    inputs.reserve(strokes.size());
    for (const KeyStroke& stroke : strokes) {
        const UINT layoutScanCode = MapVirtualKeyW(stroke.virtualKey, MAPVK_VK_TO_VSC);
        const KeyInputCode code = keyInputCode(stroke.virtualKey, layoutScanCode);
        if (code.scanCode == 0) {
            continue;
        }
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.virtualKey;
        input.ki.wScan = code.scanCode;
        input.ki.dwFlags = (stroke.down ? 0u : static_cast<DWORD>(KEYEVENTF_KEYUP)) |
                           (code.extended ? static_cast<DWORD>(KEYEVENTF_EXTENDEDKEY) : 0u);
        inputs.push_back(input);
    }
    return inputs;
}

}  // namespace quindorel
