#include "app/DesignColours.h"

namespace quindorel {

namespace {

struct RoleColour {
    QPalette::ColorRole role;
    QRgb colour;
};

// The classic desktop colours the design was drawn with. Disabled text is the
// darker grey of later desktops: it still reads on white (5.3 : 1).
constexpr RoleColour kEnabled[] = {
    {QPalette::Window, 0xFFFFFF},      {QPalette::WindowText, 0x000000},
    {QPalette::Base, 0xFFFFFF},        {QPalette::AlternateBase, 0xFFFFFF},
    {QPalette::Text, 0x000000},        {QPalette::PlaceholderText, 0x6D6D6D},
    {QPalette::Button, 0xFFFFFF},      {QPalette::ButtonText, 0x000000},
    {QPalette::BrightText, 0xFFFFFF},  {QPalette::Light, 0xFFFFFF},
    {QPalette::Midlight, 0xE3E3E3},    {QPalette::Mid, 0xB4B4B4},
    {QPalette::Dark, 0xA0A0A0},        {QPalette::Shadow, 0x696969},
    {QPalette::Highlight, 0x0078D7},   {QPalette::HighlightedText, 0xFFFFFF},
    {QPalette::Link, 0x0000FF},        {QPalette::LinkVisited, 0x800080},
    {QPalette::ToolTipBase, 0xFFFFE1}, {QPalette::ToolTipText, 0x000000},
};
constexpr RoleColour kDisabled[] = {
    {QPalette::WindowText, 0x6D6D6D},      {QPalette::Text, 0x6D6D6D},
    {QPalette::ButtonText, 0x6D6D6D},      {QPalette::Highlight, 0xD9D9D9},
    {QPalette::HighlightedText, 0x6D6D6D},
};

}  // namespace

QPalette designPalette() {
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const RoleColour& entry : kEnabled) {
            palette.setColor(group, entry.role, QColor::fromRgb(entry.colour));
        }
    }
    for (const RoleColour& entry : kDisabled) {
        palette.setColor(QPalette::Disabled, entry.role, QColor::fromRgb(entry.colour));
    }
    return palette;
}

}  // namespace quindorel
