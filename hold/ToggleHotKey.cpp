#include "hold/ToggleHotKey.h"

#include "hold/HoldLog.h"
#include "hold/SettingNames.h"
#include "keys/HotKeyNames.h"
#include "platform/Platform.h"

namespace quindorel {

void ToggleHotKey::setUp() {
    const QString saved = getSetting(platform_, setting::kToggleKey, QString());
    key_ = hotKeyNamed(saved);
    if (!key_) {
        if (!saved.isEmpty()) {
            qCWarning(lcHold, "the saved start/stop key \"%s\" is no key: none is set up",
                      qUtf8Printable(saved));
        }
        return;
    }
    working_ = platform_.desktop().setUpKey(KeyAction::ToggleHold, key_, mainWindow_());
    if (!working_) {
        qCWarning(lcHold, "the start/stop key %s is taken by another program",
                  qUtf8Printable(hotKeyName(*key_)));
    }
}

bool ToggleHotKey::choose(std::optional<HotKey> key) {
    NativeDesktop& desktop = platform_.desktop();
    if (!desktop.setUpKey(KeyAction::ToggleHold, key, mainWindow_())) {
        // The key there was, back; not while a dialog listens for another.
        if (!paused_) {
            working_ = key_ && desktop.setUpKey(KeyAction::ToggleHold, key_, mainWindow_());
        }
        return false;
    }
    key_ = key;
    working_ = key.has_value();
    paused_ = false;  // the chosen key is set up
    saveSetting(platform_, setting::kToggleKey, key ? hotKeyName(*key) : QString());
    return true;
}

void ToggleHotKey::pause(bool paused) {
    paused_ = paused;
    if (key_) {
        const bool set = platform_.desktop().setUpKey(KeyAction::ToggleHold,
                                                      paused ? std::nullopt : key_, mainWindow_());
        if (!paused) {
            working_ = set;
        }
    }
}

}  // namespace quindorel
