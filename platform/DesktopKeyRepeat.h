#pragma once

// Wayland clients repeat a held key themselves, at the rate the compositor
// announces from the user's keyboard settings. While the program holds keys
// on GNOME and KDE, that setting is switched off, so that each held key is
// pressed once, as on X11; the user's own keys do not repeat meanwhile. It
// is the user's own setting: a note of what to put back is written before
// the change and cleared after, so that the key guard (when the program is
// killed) or the next start (after a power loss) puts it back.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyGuard.h"
#include "platform/NativeDesktop.h"
#include "platform/SystemLog.h"

namespace quindorel {

// The guard's note while the desktop's key repeat is off (apart from the
// back ends' keys: X11 below 0x200, Wayland 0x10000 to 0x4FFFF).
inline constexpr SystemKey kDesktopRepeatOff = 0x60000;

// One desktop's setting of whether clients repeat held keys, read and
// written the way the desktop writes it.
class RepeatSetting {
public:
    virtual ~RepeatSetting() = default;
    // The desktop's name in the note.
    virtual std::string desktop() const = 0;
    // The value as stored; "" when the user never set it (the desktop's
    // default). Nothing when it cannot be read.
    virtual std::optional<std::string> read() = 0;
    // "" goes back to the desktop's default. Running clients hear of it.
    virtual bool write(const std::string& value) = 0;
    // The value that switches repeat off.
    virtual std::string off() const = 0;
    // What puts repeat back on when the note is lost or damaged.
    virtual std::string fallback() const = 0;
};

// The note itself: a small file, written whole or not at all.
class RepeatNote {
public:
    struct Content {
        std::string desktop;
        std::string value;  // what to put back
        bool operator==(const Content&) const = default;
    };
    explicit RepeatNote(std::string path) : path_(std::move(path)) {}

    // The note of the user's own folders: $XDG_STATE_HOME (~/.local/state)/quindorel.
    static std::string defaultPath();

    // On the disk before it returns: false when it could not be.
    bool write(const Content& content) const;
    bool exists() const;
    // Nothing when there is none, or it is damaged (`damaged` says which,
    // with the desktop it names when it names one).
    std::optional<Content> read(bool* damaged = nullptr, std::string* desktop = nullptr) const;
    bool clear() const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Makes the desktop's setting of a desktop name, or null for an unknown name.
using RepeatSettingFor = std::function<std::unique_ptr<RepeatSetting>(const std::string& desktop)>;

// After a run that did not put the setting back (killed with its guard, or
// power lost): puts back what the note says, if the setting is still the
// one the program set, and clears the note. A damaged note turns repeat on.
void putBackNotedRepeat(const RepeatNote& note, const RepeatSettingFor& settingFor,
                        const SystemLog& log);

// The desktop's key repeat over a run: off as the first key goes down, back
// as the last comes up, and back when it is destroyed with keys down.
class DesktopKeyRepeat {
public:
    // `applied` hears of each change made (repeat on or off).
    DesktopKeyRepeat(std::unique_ptr<RepeatSetting> setting, RepeatNote note, KeyGuard guard,
                     SystemLog log, std::function<void(bool on)> applied = {});
    ~DesktopKeyRepeat();
    DesktopKeyRepeat(const DesktopKeyRepeat&) = delete;
    DesktopKeyRepeat& operator=(const DesktopKeyRepeat&) = delete;

    // Before the strokes are sent: off when the first key is about to go down.
    void beforeSend(const std::vector<KeyStroke>& strokes);
    // After: back once no key of ours is down.
    void afterSend(const std::vector<KeyStroke>& strokes, const KeySendResult& sent);
    // The keys it was switched off for were not sent after all (the hold
    // stopped while they waited): back, unless keys of ours are down.
    void notSent() { afterSend({}, {}); }

private:
    void switchOff();
    void putBack();

    std::unique_ptr<RepeatSetting> setting_;
    RepeatNote note_;
    KeyGuard guard_;
    SystemLog log_;
    std::function<void(bool)> applied_;
    std::vector<SystemKey> keysDown_;
    std::optional<std::string> was_;  // while off: the user's value
};

}  // namespace quindorel
