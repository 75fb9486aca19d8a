#include "platform/x11/VirtualKeyMap.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <array>

namespace quindorel {

namespace {

struct Entry {
    std::uint8_t virtualKey;
    std::uint32_t keysym;
};

// The named codes; ranges (letters, digits, keypad digits, function keys) are
// computed below.
constexpr Entry kNamedKeys[] = {
    {0x03, XK_Cancel},                // VK_CANCEL (Ctrl+Break)
    {0x08, XK_BackSpace},             // VK_BACK
    {0x09, XK_Tab},                   // VK_TAB
    {0x0C, XK_Clear},                 // VK_CLEAR
    {0x0D, XK_Return},                // VK_RETURN (main and keypad Enter share it)
    {0x10, XK_Shift_L},               // VK_SHIFT
    {0x11, XK_Control_L},             // VK_CONTROL
    {0x12, XK_Alt_L},                 // VK_MENU
    {0x13, XK_Pause},                 // VK_PAUSE
    {0x14, XK_Caps_Lock},             // VK_CAPITAL
    {0x15, XK_Hangul},                // VK_KANA / VK_HANGUL
    {0x17, XK_Hangul_Jeonja},         // VK_JUNJA
    {0x19, XK_Kanji},                 // VK_HANJA / VK_KANJI
    {0x1B, XK_Escape},                // VK_ESCAPE
    {0x1C, XK_Henkan},                // VK_CONVERT
    {0x1D, XK_Muhenkan},              // VK_NONCONVERT
    {0x1F, XK_Mode_switch},           // VK_MODECHANGE
    {0x20, XK_space},                 // VK_SPACE
    {0x21, XK_Prior},                 // VK_PRIOR (Page Up)
    {0x22, XK_Next},                  // VK_NEXT (Page Down)
    {0x23, XK_End},                   // VK_END
    {0x24, XK_Home},                  // VK_HOME
    {0x25, XK_Left},                  // VK_LEFT
    {0x26, XK_Up},                    // VK_UP
    {0x27, XK_Right},                 // VK_RIGHT
    {0x28, XK_Down},                  // VK_DOWN
    {0x29, XK_Select},                // VK_SELECT
    {0x2A, XK_Print},                 // VK_PRINT
    {0x2B, XK_Execute},               // VK_EXECUTE
    {0x2C, XK_Print},                 // VK_SNAPSHOT (Print Screen)
    {0x2D, XK_Insert},                // VK_INSERT
    {0x2E, XK_Delete},                // VK_DELETE
    {0x2F, XK_Help},                  // VK_HELP
    {0x5B, XK_Super_L},               // VK_LWIN
    {0x5C, XK_Super_R},               // VK_RWIN
    {0x5D, XK_Menu},                  // VK_APPS
    {0x5F, XF86XK_Sleep},             // VK_SLEEP
    {0x6A, XK_KP_Multiply},           // VK_MULTIPLY
    {0x6B, XK_KP_Add},                // VK_ADD
    {0x6C, XK_KP_Separator},          // VK_SEPARATOR
    {0x6D, XK_KP_Subtract},           // VK_SUBTRACT
    {0x6E, XK_KP_Decimal},            // VK_DECIMAL
    {0x6F, XK_KP_Divide},             // VK_DIVIDE
    {0x90, XK_Num_Lock},              // VK_NUMLOCK
    {0x91, XK_Scroll_Lock},           // VK_SCROLL
    {0xA0, XK_Shift_L},               // VK_LSHIFT
    {0xA1, XK_Shift_R},               // VK_RSHIFT
    {0xA2, XK_Control_L},             // VK_LCONTROL
    {0xA3, XK_Control_R},             // VK_RCONTROL
    {0xA4, XK_Alt_L},                 // VK_LMENU
    {0xA5, XK_Alt_R},                 // VK_RMENU
    {0xA6, XF86XK_Back},              // VK_BROWSER_BACK
    {0xA7, XF86XK_Forward},           // VK_BROWSER_FORWARD
    {0xA8, XF86XK_Refresh},           // VK_BROWSER_REFRESH
    {0xA9, XF86XK_Stop},              // VK_BROWSER_STOP
    {0xAA, XF86XK_Search},            // VK_BROWSER_SEARCH
    {0xAB, XF86XK_Favorites},         // VK_BROWSER_FAVORITES
    {0xAC, XF86XK_HomePage},          // VK_BROWSER_HOME
    {0xAD, XF86XK_AudioMute},         // VK_VOLUME_MUTE
    {0xAE, XF86XK_AudioLowerVolume},  // VK_VOLUME_DOWN
    {0xAF, XF86XK_AudioRaiseVolume},  // VK_VOLUME_UP
    {0xB0, XF86XK_AudioNext},         // VK_MEDIA_NEXT_TRACK
    {0xB1, XF86XK_AudioPrev},         // VK_MEDIA_PREV_TRACK
    {0xB2, XF86XK_AudioStop},         // VK_MEDIA_STOP
    {0xB3, XF86XK_AudioPlay},         // VK_MEDIA_PLAY_PAUSE
    {0xB4, XF86XK_Mail},              // VK_LAUNCH_MAIL
    {0xB5, XF86XK_AudioMedia},        // VK_LAUNCH_MEDIA_SELECT
    {0xB6, XF86XK_MyComputer},        // VK_LAUNCH_APP1
    {0xB7, XF86XK_Calculator},        // VK_LAUNCH_APP2
    {0xBA, XK_semicolon},             // VK_OEM_1
    {0xBB, XK_equal},                 // VK_OEM_PLUS
    {0xBC, XK_comma},                 // VK_OEM_COMMA
    {0xBD, XK_minus},                 // VK_OEM_MINUS
    {0xBE, XK_period},                // VK_OEM_PERIOD
    {0xBF, XK_slash},                 // VK_OEM_2
    {0xC0, XK_grave},                 // VK_OEM_3
    {0xDB, XK_bracketleft},           // VK_OEM_4
    {0xDC, XK_backslash},             // VK_OEM_5
    {0xDD, XK_bracketright},          // VK_OEM_6
    {0xDE, XK_apostrophe},            // VK_OEM_7
    {0xE2, XK_less},                  // VK_OEM_102 (the extra key of 102-key boards)
    {0xFE, XK_Clear},                 // VK_OEM_CLEAR
};

constexpr std::array<std::uint32_t, 256> buildTable() {
    std::array<std::uint32_t, 256> table{};
    for (int i = 0; i < 10; ++i) {
        table[0x30 + i] = XK_0 + i;     // main-row digits
        table[0x60 + i] = XK_KP_0 + i;  // keypad digits
    }
    for (int i = 0; i < 26; ++i) {
        table[0x41 + i] = XK_a + i;
    }
    for (int i = 0; i < 24; ++i) {
        table[0x70 + i] = XK_F1 + i;
    }
    for (const Entry& entry : kNamedKeys) {
        table[entry.virtualKey] = entry.keysym;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = buildTable();

}  // namespace

std::uint32_t keysymForVirtualKey(std::uint8_t virtualKey) {
    return kTable[virtualKey];
}

}  // namespace quindorel
