#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "platform/NativeDesktop.h"

namespace quindorel {

class Platform;

// The user's own start/stop key: its presses do what `quindorel --toggle`
// does, from inside the game (HoldModel). None unless the user chooses one
// (a key chosen for the user could clash with the game's); kept in the
// settings by name, set up as the program starts and again whenever the
// user chooses another.
class ToggleHotKey {
public:
    ToggleHotKey(Platform& platform, std::function<WindowId()> mainWindow)
        : platform_(platform), mainWindow_(std::move(mainWindow)) {}

    // The saved key, as the program starts: one another program has now
    // stays saved, with a line in the log, and works from the next start on
    // which it is free.
    void setUp();
    // Sets up `key` (nothing: none) in place of the one there was, and
    // saves it; false when another program has it: then nothing changes.
    bool choose(std::optional<HotKey> key);
    std::optional<HotKey> key() const { return key_; }
    // Whether the saved key is set up now (false: none, or taken).
    bool working() const { return working_; }
    // Lets go of the key for a while (a dialog listens for keys), or takes
    // it again.
    void pause(bool paused);
    bool paused() const { return paused_; }

private:
    Platform& platform_;
    std::function<WindowId()> mainWindow_;
    std::optional<HotKey> key_;
    bool working_ = false;  // as it was before a pause, during one
    bool paused_ = false;
};

}  // namespace quindorel
