#include "platform/win32/KeyInputCode.h"

namespace quindorel {

namespace {

struct KnownKey {
    std::uint8_t virtualKey;
    std::uint8_t usScanCode;  // scan code set 1 on a US keyboard
    bool extended;
};

// The keys of a full PC keyboard (plus the generic Shift, Ctrl and Alt).
// The scan codes are the place of the punctuation keys, and for the others
// only a fallback for layouts that do not name one.
constexpr KnownKey kKnownKeys[] = {
    {8, 0x0E, false},   {9, 0x0F, false},   {13, 0x1C, false},  {16, 0x2A, false},
    {17, 0x1D, false},  {18, 0x38, false},  {19, 0x45, false},  {20, 0x3A, false},
    {27, 0x01, false},  {32, 0x39, false},  {33, 0x49, true},   {34, 0x51, true},
    {35, 0x4F, true},   {36, 0x47, true},   {37, 0x4B, true},   {38, 0x48, true},
    {39, 0x4D, true},   {40, 0x50, true},   {44, 0x37, true},   {45, 0x52, true},
    {46, 0x53, true},   {48, 0x0B, false},  {49, 0x02, false},  {50, 0x03, false},
    {51, 0x04, false},  {52, 0x05, false},  {53, 0x06, false},  {54, 0x07, false},
    {55, 0x08, false},  {56, 0x09, false},  {57, 0x0A, false},  {65, 0x1E, false},
    {66, 0x30, false},  {67, 0x2E, false},  {68, 0x20, false},  {69, 0x12, false},
    {70, 0x21, false},  {71, 0x22, false},  {72, 0x23, false},  {73, 0x17, false},
    {74, 0x24, false},  {75, 0x25, false},  {76, 0x26, false},  {77, 0x32, false},
    {78, 0x31, false},  {79, 0x18, false},  {80, 0x19, false},  {81, 0x10, false},
    {82, 0x13, false},  {83, 0x1F, false},  {84, 0x14, false},  {85, 0x16, false},
    {86, 0x2F, false},  {87, 0x11, false},  {88, 0x2D, false},  {89, 0x15, false},
    {90, 0x2C, false},  {91, 0x5B, true},   {92, 0x5C, true},   {93, 0x5D, true},
    {96, 0x52, false},  {97, 0x4F, false},  {98, 0x50, false},  {99, 0x51, false},
    {100, 0x4B, false}, {101, 0x4C, false}, {102, 0x4D, false}, {103, 0x47, false},
    {104, 0x48, false}, {105, 0x49, false}, {106, 0x37, false}, {107, 0x4E, false},
    {109, 0x4A, false}, {110, 0x53, false}, {111, 0x35, true},  {112, 0x3B, false},
    {113, 0x3C, false}, {114, 0x3D, false}, {115, 0x3E, false}, {116, 0x3F, false},
    {117, 0x40, false}, {118, 0x41, false}, {119, 0x42, false}, {120, 0x43, false},
    {121, 0x44, false}, {122, 0x57, false}, {123, 0x58, false}, {144, 0x45, true},
    {145, 0x46, false}, {160, 0x2A, false}, {161, 0x36, false}, {162, 0x1D, false},
    {163, 0x1D, true},  {164, 0x38, false}, {165, 0x38, true},  {186, 0x27, false},
    {187, 0x0D, false}, {188, 0x33, false}, {189, 0x0C, false}, {190, 0x34, false},
    {191, 0x35, false}, {192, 0x29, false}, {219, 0x1A, false}, {220, 0x2B, false},
    {221, 0x1B, false}, {222, 0x28, false}, {226, 0x56, false},
};

const KnownKey* findKnownKey(std::uint8_t virtualKey) {
    for (const KnownKey& key : kKnownKeys) {
        if (key.virtualKey == virtualKey) {
            return &key;
        }
    }
    return nullptr;
}

constexpr std::uint8_t kPrintScreen = 44;

// The punctuation keys (VK_OEM_1 to VK_OEM_3, VK_OEM_4 to VK_OEM_7,
// VK_OEM_102): each layout prints other characters on them and gives them
// other codes, so the on-screen key stands for its place, as letters cannot.
bool isKeyByPlace(std::uint8_t virtualKey) {
    return (virtualKey >= 186 && virtualKey <= 192) || (virtualKey >= 219 && virtualKey <= 222) ||
           virtualKey == 226;
}

}  // namespace

KeyInputCode keyInputCode(std::uint8_t virtualKey, const KeyboardLayout& layout) {
    const KnownKey* key = findKnownKey(virtualKey);
    KeyInputCode code;
    code.virtualKey = virtualKey;
    code.extended = key != nullptr && key->extended;
    if (key != nullptr && isKeyByPlace(virtualKey)) {
        code.scanCode = key->usScanCode;
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
        code.scanCode = key->usScanCode;
    }
    return code;
}

}  // namespace quindorel
