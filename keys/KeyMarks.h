#pragma once

#include <array>

#include "keys/KeyTable.h"

namespace quindorel {

class KeyButton;
class KeySetFile;
class Platform;

// The user's marks on the on-screen keyboard. The key colours are the only
// record of them; every change is saved at once.
class KeyMarks {
public:
    KeyMarks(Platform& platform, const std::array<KeyButton*, kKeyCount>& keys,
             KeySetFile& keySetFile);

    // A click on key `index`: grey becomes green, any other colour grey. A
    // picture key hides while it is marked by a click.
    void toggle(int index);
    // "Reset (Unmark All Buttons)".
    void unmarkAll();
    // "Mark All Buttons".
    void markAll();

private:
    void setAll(bool marked, const QString& procedure);

    Platform& platform_;
    const std::array<KeyButton*, kKeyCount>& keys_;
    KeySetFile& keySetFile_;
};

}  // namespace quindorel
