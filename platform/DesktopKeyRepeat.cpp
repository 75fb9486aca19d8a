#include "platform/DesktopKeyRepeat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quindorel {

namespace {

constexpr char kHeader[] = "quindorel key repeat 1";
constexpr std::size_t kMaxNote = 4096;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Each folder of `folder` made as the user's own (0700), as XDG asks.
void makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == '/') {
            ::mkdir(folder.substr(0, at).c_str(), 0700);
        }
    }
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// A rename or removal in `folder` kept through a power loss.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool printable(const std::string& value) {
    return std::all_of(value.begin(), value.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7f; });
}

}  // namespace

std::string RepeatNote::defaultPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string folder;
    if (state != nullptr && state[0] == '/') {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.local/state";
    }
    return folder + "/quindorel/key-repeat";
}

bool RepeatNote::write(const Content& content) const {
    if (!printable(content.desktop) || !printable(content.value)) {
        return false;
    }
    const std::string folder = folderOf(path_);
    makeFolders(folder);
    const std::string temporary = path_ + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const std::string text =
        std::string(kHeader) + "\ndesktop=" + content.desktop + "\nwas=" + content.value + "\n";
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool RepeatNote::exists() const {
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0;
}

std::optional<RepeatNote::Content> RepeatNote::read(bool* damaged, std::string* desktop) const {
    if (damaged != nullptr) {
        *damaged = false;
    }
    std::ifstream file(path_, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string text(kMaxNote + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    std::istringstream lines(text);
    std::string header;
    std::string desktopLine;
    std::string wasLine;
    std::getline(lines, header);
    std::getline(lines, desktopLine);
    const bool named =
        desktopLine.rfind("desktop=", 0) == 0 && desktopLine.size() > 8 && printable(desktopLine);
    if (named && desktop != nullptr) {
        *desktop = desktopLine.substr(8);
    }
    std::string rest;
    const bool whole = std::getline(lines, wasLine) && !std::getline(lines, rest) &&
                       text.size() <= kMaxNote && !text.empty() && text.back() == '\n';
    if (header != kHeader || !named || !whole || wasLine.rfind("was=", 0) != 0 ||
        !printable(wasLine)) {
        if (damaged != nullptr) {
            *damaged = true;
        }
        return std::nullopt;
    }
    return Content{desktopLine.substr(8), wasLine.substr(4)};
}

bool RepeatNote::clear() const {
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    syncFolder(folderOf(path_));
    return true;
}

void putBackNotedRepeat(const RepeatNote& note, const RepeatSettingFor& settingFor,
                        const SystemLog& log) {
    bool damaged = false;
    std::string desktop;
    const std::optional<RepeatNote::Content> content = note.read(&damaged, &desktop);
    if (!content && !damaged) {
        return;  // nothing was left
    }
    const std::unique_ptr<RepeatSetting> setting = settingFor(desktop);
    if (!setting) {
        log.write(
            LogTopic::KeyGuard, LogLevel::Warning,
            "the note of the keyboard's repeat setting to put back (" + note.path() +
                ") names no desktop known here: it is removed, and the setting left as it is");
        note.clear();
        return;
    }
    const std::string value = content ? content->value : setting->fallback();
    if (damaged) {
        log.write(LogTopic::KeyGuard, LogLevel::Warning,
                  "the note of the keyboard's repeat setting to put back (" + note.path() +
                      ") is damaged: key repeat is switched on as the desktop has it by default");
    }
    const std::optional<std::string> now = setting->read();
    if (!now) {
        log.write(LogTopic::KeyGuard, LogLevel::Warning,
                  "the desktop's key repeat setting cannot be read: it is put back at the next "
                  "start");
        return;
    }
    // Changed since by the user: theirs stands.
    if (*now == setting->off() && !setting->write(value)) {
        log.write(LogTopic::KeyGuard, LogLevel::Warning,
                  "the desktop's key repeat setting cannot be written: it is put back at the next "
                  "start");
        return;
    }
    note.clear();
}

DesktopKeyRepeat::DesktopKeyRepeat(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                                   KeyGuard guard, SystemLog log,
                                   std::function<void(bool on)> applied)
    : setting_(std::move(setting)),
      note_(std::move(note)),
      guard_(std::move(guard)),
      log_(std::move(log)),
      applied_(std::move(applied)) {}

DesktopKeyRepeat::~DesktopKeyRepeat() {
    putBack();
}

void DesktopKeyRepeat::beforeSend(const std::vector<KeyStroke>& strokes) {
    const bool keyDown = std::any_of(strokes.begin(), strokes.end(), [](const KeyStroke& s) {
        return s.down && !isMouseButton(s.virtualKey);
    });
    if (keyDown && keysDown_.empty() && !was_) {
        switchOff();
    }
}

void DesktopKeyRepeat::afterSend(const std::vector<KeyStroke>& strokes, const KeySendResult& sent) {
    for (std::size_t i = 0; i < strokes.size() && i < sent.keys.size(); ++i) {
        if (sent.keys[i] && !isMouseButton(strokes[i].virtualKey)) {
            std::erase(keysDown_, *sent.keys[i]);
            if (strokes[i].down) {
                keysDown_.push_back(*sent.keys[i]);
            }
        }
    }
    if (keysDown_.empty()) {
        putBack();
    }
}

void DesktopKeyRepeat::switchOff() {
    const std::optional<std::string> value = setting_->read();
    if (!value) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the desktop's key repeat setting cannot be read, so it is left on: held keys "
                   "repeat in the window");
        return;
    }
    if (*value == setting_->off()) {
        return;  // the user has it off already
    }
    // Noted first, so that whatever ends the program, the setting comes back.
    if (!note_.write({setting_->desktop(), *value})) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "cannot keep a note of the desktop's key repeat setting in " + note_.path() +
                       ", so it is left on: held keys repeat in the window");
        return;
    }
    guard_.tell({{kDesktopRepeatOff, true}});
    if (!setting_->write(setting_->off())) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the desktop's key repeat could not be switched off: held keys repeat in the "
                   "window");
        // Half done, perhaps (written, not announced): the user's value
        // again, and the note kept until it is.
        setting_->write(*value);
        if (setting_->read() == value) {
            guard_.tell({{kDesktopRepeatOff, false}});
            note_.clear();
        }
        return;
    }
    was_ = *value;
    if (applied_) {
        applied_(false);
    }
}

void DesktopKeyRepeat::putBack() {
    if (!was_) {
        return;
    }
    const std::optional<std::string> now = setting_->read();
    // A value the user chose while keys were held stands.
    if (!now || (*now == setting_->off() && !setting_->write(*was_))) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the desktop's key repeat could not be switched back on: the key guard or the "
                   "next start tries again");
        return;  // the note stays, and the guard is still told
    }
    was_.reset();
    guard_.tell({{kDesktopRepeatOff, false}});
    note_.clear();
    if (applied_) {
        applied_(true);
    }
}

}  // namespace quindorel
