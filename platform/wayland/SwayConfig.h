#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/NativeDesktop.h"

struct xkb_keymap;

namespace quindorel {

// The key bindings of a Sway configuration, and the repeat rate it gives
// virtual keyboards (which Sway 1.7's get_inputs does not tell), read the way
// Sway 1.7 reads it:
// blocks, `set` variables replaced longest name first, every `include` (a
// shell word: globs, ~ and environment variables, relative to the including
// file, each file once), bindings in any mode. Sway answers no question
// about the bindings in force, and its get_config gives the main file's text
// alone: this is the only way to know what the user's keys do.
struct SwayBinding {
    bool code = false;    // bindcode: the keys are key codes
    bool toCode = false;  // bindsym --to-code: matched by the key of the first layout
    std::uint32_t modifiers = 0;
    std::vector<std::string> keys;  // what is left once the modifiers are taken out
};

struct SwayBindings {
    std::vector<SwayBinding> bindings;
    // The repeat rate the configuration gives virtual keyboards: the last
    // `input` line for all devices, keyboards or virtual keyboards that sets
    // one (Sway merges each such line into the settings in force), else
    // Sway's default.
    std::int32_t virtualKeyboardRepeatRate = 25;
    // What could not be read as Sway reads it (an unreadable included file, a
    // relative include with no folder to start from, a command in a path):
    // the bindings may be more than these.
    std::vector<std::string> doubts;
};

// The files a configuration reaches, and the environment Sway runs in.
struct SwayConfigFiles {
    // The text of a file, nothing when it cannot be read.
    std::function<std::optional<std::string>(const std::string& path)> read;
    // The existing paths a glob pattern (absolute) matches, in glob order;
    // a pattern without glob characters gives itself when the file exists.
    std::function<std::vector<std::string>(const std::string& pattern)> glob;
    // The canonical path of an existing file, nothing when there is none.
    std::function<std::optional<std::string>(const std::string& path)> realPath;
    // A variable of Sway's environment.
    std::function<std::optional<std::string>(const std::string& name)> environment;
};

// `mainText` is the main file's text, `mainPath` its canonical path (empty
// when unknown: then a relative include is a doubt).
SwayBindings readSwayBindings(const std::string& mainText, const std::string& mainPath,
                              const SwayConfigFiles& files);

// Whether a binding takes Ctrl+Shift+S (exactly those modifiers). `keymap`
// is the seat's, which tells which key codes type an S; without one, the S
// key of the US layout.
bool bindsStopKey(const SwayBinding& binding, xkb_keymap* keymap);
// Whether a binding takes `key` with exactly its modifiers, by the same
// rules.
bool bindsKey(const SwayBinding& binding, xkb_keymap* keymap, const HotKey& key);
// `key` as a bindsym names it ("Ctrl+Shift+F9"); empty for a key without
// a keysym.
std::string swayKeyCombo(const HotKey& key);

// The files of this machine and the environment of the process `pid`.
SwayConfigFiles swayConfigFiles(int pid);

// The main configuration file Sway `pid` was started with: its -c option,
// else the first of the places Sway looks in; empty when none is found.
std::string swayConfigPath(int pid);

}  // namespace quindorel
