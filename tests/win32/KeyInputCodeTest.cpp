// The scan code and extended flag that each keyboard key is sent with.

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "TestWindow.h"
#include "Tests.h"
#include "platform/win32/KeyEvents.h"

namespace quindorel::test {

namespace {

struct ExpectedCode {
    unsigned virtualKey;
    unsigned scanCode;
    bool extended;
};

// The 104 keys of the on-screen keyboard in its own order, with the scan
// codes a US PC keyboard reports (set 1, E0 keys marked extended).
constexpr ExpectedCode kKeyboard[] = {
    {27, 0x01, false},  {112, 0x3B, false}, {113, 0x3C, false}, {114, 0x3D, false},
    {115, 0x3E, false}, {116, 0x3F, false}, {117, 0x40, false}, {118, 0x41, false},
    {119, 0x42, false}, {120, 0x43, false}, {121, 0x44, false}, {122, 0x57, false},
    {123, 0x58, false}, {44, 0x37, true},   {145, 0x46, false}, {19, 0x45, false},
    {192, 0x29, false}, {49, 0x02, false},  {50, 0x03, false},  {51, 0x04, false},
    {52, 0x05, false},  {53, 0x06, false},  {54, 0x07, false},  {55, 0x08, false},
    {56, 0x09, false},  {57, 0x0A, false},  {48, 0x0B, false},  {189, 0x0C, false},
    {187, 0x0D, false}, {81, 0x10, false},  {87, 0x11, false},  {69, 0x12, false},
    {82, 0x13, false},  {84, 0x14, false},  {89, 0x15, false},  {85, 0x16, false},
    {73, 0x17, false},  {79, 0x18, false},  {80, 0x19, false},  {219, 0x1A, false},
    {221, 0x1B, false}, {65, 0x1E, false},  {83, 0x1F, false},  {68, 0x20, false},
    {70, 0x21, false},  {71, 0x22, false},  {72, 0x23, false},  {74, 0x24, false},
    {75, 0x25, false},  {76, 0x26, false},  {186, 0x27, false}, {222, 0x28, false},
    {13, 0x1C, false},  {90, 0x2C, false},  {88, 0x2D, false},  {67, 0x2E, false},
    {86, 0x2F, false},  {66, 0x30, false},  {78, 0x31, false},  {77, 0x32, false},
    {188, 0x33, false}, {190, 0x34, false}, {191, 0x35, false}, {161, 0x36, false},
    {8, 0x0E, false},   {220, 0x2B, false}, {9, 0x0F, false},   {20, 0x3A, false},
    {160, 0x2A, false}, {162, 0x1D, false}, {163, 0x1D, true},  {164, 0x38, false},
    {165, 0x38, true},  {91, 0x5B, true},   {92, 0x5C, true},   {93, 0x5D, true},
    {33, 0x49, true},   {36, 0x47, true},   {45, 0x52, true},   {34, 0x51, true},
    {35, 0x4F, true},   {46, 0x53, true},   {106, 0x37, false}, {111, 0x35, true},
    {144, 0x45, true},  {109, 0x4A, false}, {105, 0x49, false}, {104, 0x48, false},
    {103, 0x47, false}, {107, 0x4E, false}, {102, 0x4D, false}, {101, 0x4C, false},
    {100, 0x4B, false}, {99, 0x51, false},  {98, 0x50, false},  {97, 0x4F, false},
    {13, 0x1C, false},  {110, 0x53, false}, {96, 0x52, false},  {32, 0x39, false},
    {38, 0x48, true},   {40, 0x50, true},   {37, 0x4B, true},   {39, 0x4D, true},
};
static_assert(std::size(kKeyboard) == 104);

std::string describe(const KeyInputCode& code) {
    char text[64];
    std::snprintf(text, sizeof text, "vk %u scan 0x%02X%s", code.virtualKey, code.scanCode,
                  code.extended ? " extended" : "");
    return text;
}

void keyboardKeysOnThisSystem(TestContext& context) {
    for (const ExpectedCode& key : kKeyboard) {
        const auto virtualKey = static_cast<std::uint8_t>(key.virtualKey);
        const KeyInputCode actual = keyInputCode(virtualKey, currentKeyboardLayout());
        const KeyInputCode expected{virtualKey, static_cast<std::uint8_t>(key.scanCode),
                                    key.extended};
        context.expect(actual == expected, describe(actual) + ", want " + describe(expected));
    }
}

// A layout given as its keys: (virtual key, scan code as MapVirtualKey says).
struct ListedLayout : KeyboardLayout {
    std::vector<std::pair<unsigned, unsigned>> keys;
    ListedLayout(std::initializer_list<std::pair<unsigned, unsigned>> listed) : keys(listed) {}
    unsigned find(unsigned code, bool byScanCode) const {
        for (const auto& [vk, scan] : keys) {
            if ((byScanCode ? scan : vk) == code) {
                return byScanCode ? vk : scan;
            }
        }
        return 0;
    }
    unsigned scanCodeOf(std::uint8_t vk) const override { return find(vk, false); }
    unsigned virtualKeyAt(std::uint8_t scan) const override { return find(scan, true); }
};

void layoutAnswers(TestContext& context) {
    // German: Z and Y swapped, and the punctuation keys carry other codes.
    const ListedLayout german{{90, 0x15},  {89, 0x2C},  {192, 0x27}, {186, 0x1A},
                              {191, 0x2B}, {189, 0x35}, {226, 0x56}};
    const ListedLayout none{};
    const ListedLayout odd{{65, 0x10}, {163, 0xE01D}, {111, 0x35},
                           {44, 0x54}, {175, 0x30},   {186, 0x30}};
    struct Row {
        const char* why;
        const KeyboardLayout& layout;
        unsigned virtualKey;
        KeyInputCode expected;
    };
    const Row rows[] = {
        {"a letter is what types it (QWERTZ Z)", german, 90, {90, 0x15, false}},
        {"a layout that moves A (AZERTY)", odd, 65, {65, 0x10, false}},
        {"the ;: key is the German oe", german, 186, {192, 0x27, false}},
        {"the /? key is the German -", german, 191, {189, 0x35, false}},
        {"the key beside left Shift", german, 226, {226, 0x56, false}},
        {"punctuation ignores the layout's own scan code", odd, 186, {186, 0x27, false}},
        {"nothing at the place: the code stays", none, 221, {221, 0x1B, false}},
        {"E0 prefix in the high byte is dropped", odd, 163, {163, 0x1D, true}},
        {"PrintScreen is E0 37, not the Alt code", odd, 44, {44, 0x37, true}},
        {"no layout answer: US fallback", none, 38, {38, 0x48, true}},
        {"extended flag comes from the table", odd, 111, {111, 0x35, true}},
        {"no layout answer for NumLock", none, 144, {144, 0x45, true}},
        {"unknown code without a scan code", none, 7, {7, 0, false}},
        {"no key at all", none, 0, {0, 0, false}},
        {"unknown code with a layout answer", odd, 175, {175, 0x30, false}},
    };
    for (const Row& row : rows) {
        const KeyInputCode actual =
            keyInputCode(static_cast<std::uint8_t>(row.virtualKey), row.layout);
        context.expect(actual == row.expected, std::string(row.why) + ": " + describe(actual) +
                                                   ", want " + describe(row.expected));
    }
}

}  // namespace

void addKeyInputCodeTests(TestRunner& runner) {
    runner.add("scan codes and extended flags of the 104 keyboard keys", keyboardKeysOnThisSystem);
    runner.add("key decision under other layouts and odd answers", layoutAnswers);
}

}  // namespace quindorel::test
