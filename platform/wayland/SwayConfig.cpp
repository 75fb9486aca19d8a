#include "platform/wayland/SwayConfig.h"

#include <glob.h>
#include <strings.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/x11/VirtualKeyMap.h"

namespace quindorel {

namespace {

constexpr char kWhitespace[] = " \t\n\r";
// Sway's own limit on nested includes is the file chain; this one only
// keeps a damaged machine (a loop through /proc) from taking forever.
constexpr int kMaxDepth = 32;

struct Modifier {
    const char* name;
    std::uint32_t mask;
};
// Sway's names of the modifiers, compared without case.
constexpr Modifier kModifiers[] = {
    {"Shift", 1}, {"Lock", 2},  {"Control", 4}, {"Ctrl", 4},   {"Mod1", 8},   {"Alt", 8},
    {"Mod2", 16}, {"Mod3", 32}, {"Mod4", 64},   {"Super", 64}, {"Mod5", 128},
};
constexpr std::uint32_t kCtrlShift = 1 | 4;

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(kWhitespace);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

// Sway's split_args: words apart at white space outside quotes and
// criteria brackets; the quotes stay in the words.
std::vector<std::string> splitArgs(const std::string& line) {
    std::vector<std::string> args;
    std::string word;
    bool inString = false, inChar = false, inBrackets = false, escaped = false;
    for (const char c : line) {
        if (c == '"' && !inChar && !escaped) {
            inString = !inString;
        } else if (c == '\'' && !inString && !escaped) {
            inChar = !inChar;
        } else if (c == '[' && !inString && !inChar && !escaped) {
            inBrackets = true;
        } else if (c == ']' && !inString && !inChar && inBrackets && !escaped) {
            inBrackets = false;
        } else if (c == '\\') {
            escaped = !escaped;
        } else if (!inString && !inChar && !inBrackets && !escaped &&
                   std::strchr(kWhitespace, c) != nullptr) {
            if (!word.empty()) {
                args.push_back(word);
            }
            word.clear();
            continue;
        }
        if (c != '\\') {
            escaped = false;
        }
        word += c;
    }
    if (!word.empty()) {
        args.push_back(word);
    }
    return args;
}

std::string joinArgs(const std::vector<std::string>& args, std::size_t from = 0) {
    std::string joined;
    for (std::size_t i = from; i < args.size(); ++i) {
        joined += (i > from ? " " : "") + args[i];
    }
    return joined;
}

std::string stripQuotes(std::string word) {
    if (word.size() >= 2 && (word.front() == '"' || word.front() == '\'') &&
        word.back() == word.front()) {
        word = word.substr(1, word.size() - 2);
    }
    return word;
}

struct Reader {
    const SwayConfigFiles& files;
    SwayBindings result;
    // Longest name first, as Sway keeps them.
    std::vector<std::pair<std::string, std::string>> variables;
    std::set<std::string> chain;  // every file read once, as Sway does

    // Sway's do_var_replacement: "$$" stands for "$", "\$" is left alone.
    std::string replaceVariables(const std::string& text) const {
        std::string out = text;
        for (std::size_t at = 0; (at = out.find('$', at)) != std::string::npos;) {
            if (at > 0 && out[at - 1] == '\\' && !(at > 1 && out[at - 2] == '\\')) {
                ++at;
                continue;
            }
            if (at + 1 < out.size() && out[at + 1] == '$') {
                out.erase(at, 1);
                ++at;
                continue;
            }
            const auto known = std::find_if(variables.begin(), variables.end(), [&](const auto& v) {
                return out.compare(at, v.first.size(), v.first) == 0;
            });
            if (known == variables.end()) {
                ++at;
                continue;
            }
            out.replace(at, known->first.size(), known->second);
            at += known->second.size();
        }
        return out;
    }

    void set(std::string name, const std::string& value) {
        if (name.empty() || name[0] != '$') {
            name = "$" + name;
        }
        std::erase_if(variables, [&](const auto& v) { return v.first == name; });
        variables.emplace_back(name, value);
        std::stable_sort(variables.begin(), variables.end(), [](const auto& a, const auto& b) {
            return a.first.size() > b.first.size();
        });
    }

    void doubt(const std::string& why) { result.doubts.push_back(why); }

    // One command of a configuration file, blocks already joined.
    void command(const std::string& line, const std::string& path, int depth) {
        std::vector<std::string> args = splitArgs(line);
        if (args.empty()) {
            return;
        }
        // A variable's own name is not replaced.
        if (args[0] == "set" && args.size() > 1 && args[1][0] == '$') {
            args[1] = "$" + args[1];
        }
        args = splitArgs(replaceVariables(joinArgs(args)));
        if (args.empty()) {
            return;
        }
        run(args, path, depth);
    }

    void run(std::vector<std::string> args, const std::string& path, int depth) {
        const std::string& name = args[0];
        if (name == "set" && args.size() >= 3) {
            set(args[1], joinArgs(args, 2));
        } else if (name == "include" && args.size() >= 2) {
            include(stripQuotes(args[1]), path, depth);
        } else if (name == "mode" && args.size() >= 3) {
            // mode [--pango_markup] NAME COMMAND...: a binding of that mode.
            std::size_t at = 1;
            while (at < args.size() && args[at].rfind("--", 0) == 0) {
                ++at;
            }
            if (at + 1 < args.size()) {
                run(std::vector<std::string>(args.begin() + static_cast<long>(at) + 1, args.end()),
                    path, depth);
            }
        } else if (name == "bindsym" || name == "bindcode") {
            bind(args, name == "bindcode");
        } else if (name == "input" && args.size() >= 4 && args[2] == "repeat_rate") {
            const std::string device = stripQuotes(args[1]);
            char* end = nullptr;
            const long rate = std::strtol(args[3].c_str(), &end, 10);
            if ((device == "*" || device == "type:keyboard" || device == "0:0:virtual_keyboard") &&
                *end == '\0' && rate >= 0 && rate <= INT32_MAX) {
                result.virtualKeyboardRepeatRate = static_cast<std::int32_t>(rate);
            }
        }
    }

    void bind(const std::vector<std::string>& args, bool code) {
        SwayBinding binding;
        binding.code = code;
        std::size_t at = 1;
        for (; at < args.size() && args[at].rfind("--", 0) == 0; ++at) {
            binding.toCode = binding.toCode || args[at] == "--to-code";
        }
        if (at >= args.size()) {
            return;
        }
        std::istringstream parts(stripQuotes(args[at]));
        for (std::string part; std::getline(parts, part, '+');) {
            const auto modifier = std::find_if(
                std::begin(kModifiers), std::end(kModifiers),
                [&](const Modifier& m) { return strcasecmp(m.name, part.c_str()) == 0; });
            if (modifier != std::end(kModifiers)) {
                binding.modifiers |= modifier->mask;
            } else {
                binding.keys.push_back(part);
            }
        }
        result.bindings.push_back(std::move(binding));
    }

    // The words of an include path as wordexp(3), which Sway uses, makes
    // them: ~, environment variables, quotes, words apart at white space.
    // Command substitution is left to doubt.
    std::optional<std::vector<std::string>> words(const std::string& pattern) {
        if (pattern.find('`') != std::string::npos || pattern.find("$(") != std::string::npos) {
            return std::nullopt;
        }
        std::vector<std::string> out;
        std::string word;
        bool any = false;
        char quote = 0;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const char c = pattern[i];
            if (quote == 0 && (c == '\'' || c == '"')) {
                quote = c;
                any = true;
            } else if (quote != 0 && c == quote) {
                quote = 0;
            } else if (c == '\\' && quote != '\'' && i + 1 < pattern.size()) {
                word += pattern[++i];
            } else if (c == '$' && quote != '\'') {
                std::size_t end = i + 1;
                std::string variable;
                if (end < pattern.size() && pattern[end] == '{') {
                    const auto close = pattern.find('}', end);
                    if (close == std::string::npos) {
                        return std::nullopt;
                    }
                    variable = pattern.substr(end + 1, close - end - 1);
                    end = close + 1;
                } else {
                    while (end < pattern.size() &&
                           (std::isalnum(static_cast<unsigned char>(pattern[end])) ||
                            pattern[end] == '_')) {
                        ++end;
                    }
                    variable = pattern.substr(i + 1, end - i - 1);
                }
                if (variable.empty()) {
                    word += c;
                    continue;
                }
                word += files.environment(variable).value_or("");
                i = end - 1;
            } else if (c == '~' && quote == 0 && word.empty() && !any &&
                       (i + 1 == pattern.size() || pattern[i + 1] == '/')) {
                word += files.environment("HOME").value_or("");
            } else if (quote == 0 && std::strchr(kWhitespace, c) != nullptr) {
                if (!word.empty() || any) {
                    out.push_back(word);
                }
                word.clear();
                any = false;
            } else {
                word += c;
            }
        }
        if (quote != 0) {
            return std::nullopt;
        }
        if (!word.empty() || any) {
            out.push_back(word);
        }
        return out;
    }

    void include(const std::string& pattern, const std::string& from, int depth) {
        const auto expanded = words(pattern);
        if (!expanded) {
            doubt("an include Sway's shell rules may expand otherwise: " + pattern);
            return;
        }
        const std::string folder = from.empty() ? "" : from.substr(0, from.rfind('/'));
        for (std::string word : *expanded) {
            if (word.empty()) {
                continue;
            }
            if (word[0] != '/') {
                if (from.empty()) {
                    doubt("an include relative to a configuration file whose place is unknown: " +
                          word);
                    continue;
                }
                word = folder + "/" + word;
            }
            for (const std::string& match : files.glob(word)) {
                const auto real = files.realPath(match);
                if (real && chain.insert(*real).second) {
                    readFile(*real, depth + 1);
                }
            }
        }
    }

    void readFile(const std::string& path, int depth) {
        const auto text = depth < kMaxDepth ? files.read(path) : std::nullopt;
        if (!text) {
            doubt("cannot read " + path);
            return;
        }
        readText(*text, path, depth);
    }

    void readText(const std::string& text, const std::string& path, int depth) {
        // Lines ending in a backslash go on in the next one.
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line, joined; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\\') {
                joined += line.substr(0, line.size() - 1);
                continue;
            }
            lines.push_back(trim(joined + line));
            joined.clear();
        }
        std::vector<std::string> blocks;  // "mode resize", "bindsym", ...
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.empty() || line[0] == '#') {
                continue;
            }
            if (line == "}") {
                if (!blocks.empty()) {
                    blocks.pop_back();
                }
                continue;
            }
            std::string full = blocks.empty() ? line : blocks.back() + " " + line;
            // A block opens with "{" at the end of its line or alone on the next.
            std::size_t next = i + 1;
            while (next < lines.size() && (lines[next].empty() || lines[next][0] == '#')) {
                ++next;
            }
            if (next < lines.size() && lines[next] == "{") {
                blocks.push_back(full);
                i = next;
                continue;
            }
            const auto args = splitArgs(full);
            if (args.size() > 1 && args.back() == "{") {
                blocks.push_back(joinArgs(std::vector<std::string>(args.begin(), args.end() - 1)));
                continue;
            }
            command(full, path, depth);
        }
    }
};

std::set<xkb_keycode_t> codesTyping(xkb_keymap* keymap, std::set<xkb_keysym_t> syms,
                                    bool firstLayoutOnly) {
    std::set<xkb_keycode_t> codes;
    if (keymap == nullptr) {
        return codes;
    }
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
         code <= xkb_keymap_max_keycode(keymap); ++code) {
        const xkb_layout_index_t layouts =
            firstLayoutOnly ? 1 : xkb_keymap_num_layouts_for_key(keymap, code);
        for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
            for (xkb_level_index_t level = 0;
                 level < xkb_keymap_num_levels_for_key(keymap, code, layout); ++level) {
                const xkb_keysym_t* typed = nullptr;
                const int n = xkb_keymap_key_get_syms_by_level(keymap, code, layout, level, &typed);
                for (int k = 0; k < n; ++k) {
                    if (syms.count(typed[k]) != 0) {
                        codes.insert(code);
                    }
                }
            }
        }
    }
    return codes;
}

std::optional<std::string> readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return file.bad() ? std::nullopt : std::optional<std::string>(text.str());
}

std::vector<std::string> nulSeparated(const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, '\0');) {
        parts.push_back(part);
    }
    return parts;
}

std::optional<std::string> canonical(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return std::nullopt;
    }
    std::string out(real);
    std::free(real);
    return out;
}

}  // namespace

SwayBindings readSwayBindings(const std::string& mainText, const std::string& mainPath,
                              const SwayConfigFiles& files) {
    Reader reader{files, {}, {}, {}};
    if (!mainPath.empty()) {
        reader.chain.insert(mainPath);
    }
    reader.readText(mainText, mainPath, 0);
    return reader.result;
}

namespace {

std::uint32_t swayModifiers(const HotKey& key) {
    return ((key.modifiers & HotKey::kShift) != 0 ? 1 : 0) |
           ((key.modifiers & HotKey::kCtrl) != 0 ? 4 : 0) |
           ((key.modifiers & HotKey::kAlt) != 0 ? 8 : 0) |
           ((key.modifiers & HotKey::kWin) != 0 ? 64 : 0);
}

// Whether a binding takes the key that types `keysym` (either case) with
// exactly `modifiers`; `usKey` stands for it without a keymap.
bool bindsKeysym(const SwayBinding& binding, xkb_keymap* keymap, std::uint32_t modifiers,
                 xkb_keysym_t keysym, std::optional<xkb_keycode_t> usKey) {
    if (binding.modifiers != modifiers || binding.keys.size() != 1) {
        return false;
    }
    const xkb_keysym_t upper = xkb_keysym_to_upper(keysym);
    const std::string& key = binding.keys[0];
    std::set<xkb_keycode_t> codes = codesTyping(keymap, {keysym, upper}, false);
    if (codes.empty() && usKey) {
        codes.insert(*usKey);
    }
    if (binding.code) {
        char* end = nullptr;
        const long code = std::strtol(key.c_str(), &end, 10);
        return !key.empty() && *end == '\0' && codes.count(static_cast<xkb_keycode_t>(code)) != 0;
    }
    const xkb_keysym_t sym = xkb_keysym_from_name(key.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
    if (sym == keysym || sym == upper) {
        return true;
    }
    if (!binding.toCode || sym == XKB_KEY_NoSymbol) {
        return false;
    }
    // Matched by the key that types it in the first layout, whatever the
    // layout in use: the key of that keysym elsewhere.
    for (const xkb_keycode_t code : codesTyping(keymap, {sym}, true)) {
        if (codes.count(code) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool bindsStopKey(const SwayBinding& binding, xkb_keymap* keymap) {
    return bindsKeysym(binding, keymap, kCtrlShift, XKB_KEY_s, 39);  // the S key of the US layout
}

bool bindsKey(const SwayBinding& binding, xkb_keymap* keymap, const HotKey& key) {
    return bindsKeysym(binding, keymap, swayModifiers(key), keysymForVirtualKey(key.virtualKey),
                       std::nullopt);
}

std::string swayKeyCombo(const HotKey& key) {
    char name[64] = {};
    const xkb_keysym_t keysym = keysymForVirtualKey(key.virtualKey);
    if (keysym == 0 || xkb_keysym_get_name(keysym, name, sizeof name) <= 0) {
        return {};
    }
    std::string combo;
    for (const auto& [bit, word] :
         {std::pair{HotKey::kCtrl, "Ctrl+"}, std::pair{HotKey::kShift, "Shift+"},
          std::pair{HotKey::kAlt, "Mod1+"}, std::pair{HotKey::kWin, "Mod4+"}}) {
        if ((key.modifiers & bit) != 0) {
            combo += word;
        }
    }
    return combo + name;
}

SwayConfigFiles swayConfigFiles(int pid) {
    SwayConfigFiles files;
    files.read = readWhole;
    files.realPath = canonical;
    files.glob = [](const std::string& pattern) {
        std::vector<std::string> paths;
        glob_t found{};
        if (::glob(pattern.c_str(), 0, nullptr, &found) == 0) {
            for (std::size_t i = 0; i < found.gl_pathc; ++i) {
                paths.emplace_back(found.gl_pathv[i]);
            }
        }
        globfree(&found);
        return paths;
    };
    // Sway's environment where it can be read, else ours (a session shares it).
    const auto environ = readWhole("/proc/" + std::to_string(pid) + "/environ");
    std::vector<std::string> variables =
        environ ? nulSeparated(*environ) : std::vector<std::string>();
    const bool own = !environ;
    files.environment = [variables, own](const std::string& name) -> std::optional<std::string> {
        if (own) {
            const char* value = std::getenv(name.c_str());
            return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
        for (const std::string& variable : variables) {
            if (variable.size() > name.size() && variable.compare(0, name.size(), name) == 0 &&
                variable[name.size()] == '=') {
                return variable.substr(name.size() + 1);
            }
        }
        return std::nullopt;
    };
    return files;
}

std::string swayConfigPath(int pid) {
    const std::string proc = "/proc/" + std::to_string(pid);
    const auto cmdline = readWhole(proc + "/cmdline");
    const std::vector<std::string> args =
        cmdline ? nulSeparated(*cmdline) : std::vector<std::string>();
    std::string given;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "-c" || args[i] == "--config") && i + 1 < args.size()) {
            given = args[i + 1];
        } else if (args[i].rfind("--config=", 0) == 0) {
            given = args[i].substr(9);
        } else if (args[i].size() > 2 && args[i].rfind("-c", 0) == 0 && args[i][2] != '-') {
            given = args[i].substr(2);
        }
    }
    if (!given.empty()) {
        if (given[0] != '/') {
            given = proc + "/cwd/" + given;
        }
        return canonical(given).value_or("");
    }
    // Where Sway 1.7 looks, in its order.
    const SwayConfigFiles files = swayConfigFiles(pid);
    const std::string home = files.environment("HOME").value_or("");
    std::string configHome = files.environment("XDG_CONFIG_HOME").value_or("");
    if (configHome.empty()) {
        configHome = home + "/.config";
    }
    for (const std::string& path :
         {home + "/.sway/config", configHome + "/sway/config", home + "/.i3/config",
          configHome + "/i3/config", std::string("/etc/sway/config"),
          std::string("/etc/i3/config")}) {
        if (::access(path.c_str(), R_OK) == 0) {
            return canonical(path).value_or("");
        }
    }
    return {};
}

}  // namespace quindorel
