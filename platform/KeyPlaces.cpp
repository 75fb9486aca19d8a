#include "platform/KeyPlaces.h"

namespace quindorel {

namespace {

struct Row {
    std::uint8_t virtualKey;
    KeyPlace place;
};

// clang-format off
constexpr Row kRows[] = {
    // Letters and digits.
    {65, {0x1E, false, "AC01"}}, {66, {0x30, false, "AB05"}}, {67, {0x2E, false, "AB03"}},
    {68, {0x20, false, "AC03"}}, {69, {0x12, false, "AD03"}}, {70, {0x21, false, "AC04"}},
    {71, {0x22, false, "AC05"}}, {72, {0x23, false, "AC06"}}, {73, {0x17, false, "AD08"}},
    {74, {0x24, false, "AC07"}}, {75, {0x25, false, "AC08"}}, {76, {0x26, false, "AC09"}},
    {77, {0x32, false, "AB07"}}, {78, {0x31, false, "AB06"}}, {79, {0x18, false, "AD09"}},
    {80, {0x19, false, "AD10"}}, {81, {0x10, false, "AD01"}}, {82, {0x13, false, "AD04"}},
    {83, {0x1F, false, "AC02"}}, {84, {0x14, false, "AD05"}}, {85, {0x16, false, "AD07"}},
    {86, {0x2F, false, "AB04"}}, {87, {0x11, false, "AD02"}}, {88, {0x2D, false, "AB02"}},
    {89, {0x15, false, "AD06"}}, {90, {0x2C, false, "AB01"}},
    {48, {0x0B, false, "AE10"}}, {49, {0x02, false, "AE01"}}, {50, {0x03, false, "AE02"}},
    {51, {0x04, false, "AE03"}}, {52, {0x05, false, "AE04"}}, {53, {0x06, false, "AE05"}},
    {54, {0x07, false, "AE06"}}, {55, {0x08, false, "AE07"}}, {56, {0x09, false, "AE08"}},
    {57, {0x0A, false, "AE09"}},
    // Punctuation.
    {186, {0x27, false, "AC10"}},  // ;:
    {187, {0x0D, false, "AE12"}},  // =+
    {188, {0x33, false, "AB08"}},  // ,<
    {189, {0x0C, false, "AE11"}},  // -_
    {190, {0x34, false, "AB09"}},  // .>
    {191, {0x35, false, "AB10"}},  // /?
    {192, {0x29, false, "TLDE"}},  // `~
    {219, {0x1A, false, "AD11"}},  // [{
    {220, {0x2B, false, "BKSL"}},  // \|
    {221, {0x1B, false, "AD12"}},  // ]}
    {222, {0x28, false, "AC11"}},  // '"
    {226, {0x56, false, "LSGT"}},  // the extra key of 102-key keyboards
    // Named keys.
    {8, {0x0E}},         {9, {0x0F}},         {13, {0x1C}},        {16, {0x2A}},
    {17, {0x1D}},        {18, {0x38}},        {19, {0x45}},        {20, {0x3A}},
    {27, {0x01}},        {32, {0x39}},        {33, {0x49, true}},  {34, {0x51, true}},
    {35, {0x4F, true}},  {36, {0x47, true}},  {37, {0x4B, true}},  {38, {0x48, true}},
    {39, {0x4D, true}},  {40, {0x50, true}},  {44, {0x37, true}},  {45, {0x52, true}},
    {46, {0x53, true}},  {91, {0x5B, true}},  {92, {0x5C, true}},  {93, {0x5D, true}},
    {96, {0x52}},        {97, {0x4F}},        {98, {0x50}},        {99, {0x51}},
    {100, {0x4B}},       {101, {0x4C}},       {102, {0x4D}},       {103, {0x47}},
    {104, {0x48}},       {105, {0x49}},       {106, {0x37}},       {107, {0x4E}},
    {109, {0x4A}},       {110, {0x53}},       {111, {0x35, true}}, {112, {0x3B}},
    {113, {0x3C}},       {114, {0x3D}},       {115, {0x3E}},       {116, {0x3F}},
    {117, {0x40}},       {118, {0x41}},       {119, {0x42}},       {120, {0x43}},
    {121, {0x44}},       {122, {0x57}},       {123, {0x58}},       {144, {0x45, true}},
    {145, {0x46}},       {160, {0x2A}},       {161, {0x36}},       {162, {0x1D}},
    {163, {0x1D, true}}, {164, {0x38}},       {165, {0x38, true}},
};
// clang-format on

}  // namespace

const KeyPlace* keyPlace(std::uint8_t virtualKey) {
    for (const Row& row : kRows) {
        if (row.virtualKey == virtualKey) {
            return &row.place;
        }
    }
    return nullptr;
}

}  // namespace quindorel
