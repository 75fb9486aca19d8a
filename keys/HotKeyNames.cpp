#include "keys/HotKeyNames.h"

#include <QStringList>

#include "keys/KeyTable.h"

namespace quindorel {

namespace {

struct ModifierName {
    std::uint8_t bit;
    const char* name;  // as written
    std::initializer_list<const char*> alsoRead;
};

const ModifierName kModifiers[] = {
    {HotKey::kCtrl, "Ctrl", {"Control"}},
    {HotKey::kShift, "Shift", {}},
    {HotKey::kAlt, "Alt", {}},
    {HotKey::kWin, "Win", {"Windows", "Super", "Meta"}},
};

bool canStart(int code) {
    return code > 0 && code <= 255 && !isModifierKey(static_cast<std::uint8_t>(code)) &&
           !isMouseButton(static_cast<std::uint8_t>(code));
}

struct QtKeyCode {
    int qtKey;
    std::uint8_t code;
};

// Keys whose Qt code is not their virtual-key code, off the keypad.
constexpr QtKeyCode kQtKeys[] = {
    {Qt::Key_Tab, 0x09},         {Qt::Key_Backtab, 0x09},   {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},       {Qt::Key_Space, 0x20},     {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},      {Qt::Key_Home, 0x24},      {Qt::Key_End, 0x23},
    {Qt::Key_PageUp, 0x21},      {Qt::Key_PageDown, 0x22},  {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},          {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},
    {Qt::Key_Pause, 0x13},       {Qt::Key_Print, 0x2C},     {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_NumLock, 0x90},     {Qt::Key_CapsLock, 0x14},  {Qt::Key_Menu, 0x5D},
    {Qt::Key_Escape, 0x1B},      {Qt::Key_Backspace, 0x08}, {Qt::Key_Minus, 0xBD},
    {Qt::Key_Underscore, 0xBD},  {Qt::Key_Equal, 0xBB},     {Qt::Key_Plus, 0xBB},
    {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD},  {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA},
    {Qt::Key_Apostrophe, 0xDE},  {Qt::Key_QuoteDbl, 0xDE},  {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0},  {Qt::Key_Comma, 0xBC},     {Qt::Key_Less, 0xBC},
    {Qt::Key_Period, 0xBE},      {Qt::Key_Greater, 0xBE},   {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},    {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC},
    {Qt::Key_Exclam, '1'},       {Qt::Key_At, '2'},         {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},       {Qt::Key_Percent, '5'},    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},    {Qt::Key_Asterisk, '8'},   {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// The keypad's, which Qt tells apart only by the modifier.
constexpr QtKeyCode kKeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},   {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Slash, 0x6F},  {Qt::Key_Enter, 0x0D},
    {Qt::Key_Insert, 0x60},   {Qt::Key_End, 0x61},    {Qt::Key_Down, 0x62},
    {Qt::Key_PageDown, 0x63}, {Qt::Key_Left, 0x64},   {Qt::Key_Clear, 0x65},
    {Qt::Key_Right, 0x66},    {Qt::Key_Home, 0x67},   {Qt::Key_Up, 0x68},
    {Qt::Key_PageUp, 0x69},   {Qt::Key_Delete, 0x6E},
};

std::optional<std::uint8_t> codeOfQtKey(int qtKey, bool keypad) {
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            return static_cast<std::uint8_t>(0x60 + (qtKey - Qt::Key_0));
        }
        for (const QtKeyCode& key : kKeypadKeys) {
            if (key.qtKey == qtKey) {
                return key.code;
            }
        }
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<std::uint8_t>(qtKey);  // the same codes
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return static_cast<std::uint8_t>(0x70 + (qtKey - Qt::Key_F1));
    }
    for (const QtKeyCode& key : kQtKeys) {
        if (key.qtKey == qtKey) {
            return key.code;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<HotKey> hotKeyOfQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const std::optional<std::uint8_t> code =
        codeOfQtKey(qtKey, modifiers.testFlag(Qt::KeypadModifier));
    if (!code || !canStart(*code)) {
        return std::nullopt;
    }
    HotKey key{*code, 0};
    key.modifiers |= modifiers.testFlag(Qt::ControlModifier) ? HotKey::kCtrl : 0;
    key.modifiers |= modifiers.testFlag(Qt::ShiftModifier) ? HotKey::kShift : 0;
    key.modifiers |= modifiers.testFlag(Qt::AltModifier) ? HotKey::kAlt : 0;
    key.modifiers |= modifiers.testFlag(Qt::MetaModifier) ? HotKey::kWin : 0;
    // Only the keys of the on-screen keyboard have names to keep.
    for (const KeyDefinition& definition : keyboardKeys()) {
        if (definition.code == key.virtualKey) {
            return key;
        }
    }
    return std::nullopt;
}

QString hotKeyName(const HotKey& key) {
    QStringList parts;
    for (const ModifierName& modifier : kModifiers) {
        if ((key.modifiers & modifier.bit) != 0) {
            parts << QLatin1String(modifier.name);
        }
    }
    QString keyName = QStringLiteral("key %1").arg(key.virtualKey);
    for (const KeyDefinition& definition : keyTable()) {
        if (definition.code == key.virtualKey) {
            keyName = QString::fromUtf8(definition.spokenName);
            break;
        }
    }
    parts << keyName;
    return parts.join(QLatin1Char('+'));
}

std::optional<HotKey> hotKeyNamed(const QString& name) {
    QStringList parts = name.trimmed().split(QLatin1Char('+'));
    const QString keyName = parts.takeLast().trimmed();
    HotKey key;
    for (const QString& part : parts) {
        const QString word = part.trimmed();
        bool known = false;
        for (const ModifierName& modifier : kModifiers) {
            bool same = word.compare(QLatin1String(modifier.name), Qt::CaseInsensitive) == 0;
            for (const char* other : modifier.alsoRead) {
                same = same || word.compare(QLatin1String(other), Qt::CaseInsensitive) == 0;
            }
            if (same && (key.modifiers & modifier.bit) == 0) {
                key.modifiers |= modifier.bit;
                known = true;
            }
        }
        if (!known) {
            return std::nullopt;  // unknown, or given twice
        }
    }
    for (const KeyDefinition& definition : keyTable()) {
        if (keyName.compare(QString::fromUtf8(definition.spokenName), Qt::CaseInsensitive) == 0) {
            if (!canStart(definition.code)) {
                return std::nullopt;
            }
            key.virtualKey = static_cast<std::uint8_t>(definition.code);
            return key;
        }
    }
    return std::nullopt;
}

}  // namespace quindorel
