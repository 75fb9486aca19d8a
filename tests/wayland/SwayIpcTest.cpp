// What the program reads from Sway's answers and its configuration files:
// where windows lie and which float, the repeat rate in force, reloads, and
// whether the user's configuration binds the stop key already.
#include <fnmatch.h>

#include <QtTest>
#include <map>

#include "platform/wayland/SwayConfig.h"
#include "platform/wayland/SwayIpc.h"
#include "platform/wayland/WaylandKeymap.h"

using namespace quindorel;

namespace {

// A made-up machine: its files by path ("<unreadable>" cannot be read).
SwayConfigFiles fakeFiles(std::map<std::string, std::string> files) {
    return {[files](const std::string& path) -> std::optional<std::string> {
                const auto file = files.find(path);
                if (file == files.end() || file->second == "<unreadable>")
                    return std::nullopt;
                return file->second;
            },
            [files](const std::string& pattern) {
                std::vector<std::string> paths;
                for (const auto& file : files)
                    if (fnmatch(pattern.c_str(), file.first.c_str(), FNM_PATHNAME) == 0)
                        paths.push_back(file.first);
                return paths;
            },
            [files](const std::string& path) -> std::optional<std::string> {
                if (files.count(path) == 0)
                    return std::nullopt;
                return path;
            },
            [](const std::string& name) -> std::optional<std::string> {
                if (name == "HOME")
                    return "/home/u";
                return name == "XDG_CONFIG_HOME" ? std::optional<std::string>("/home/u/.config")
                                                 : std::nullopt;
            }};
}

}  // namespace

class SwayIpcTest : public QObject {
    Q_OBJECT
private slots:
    void windowsOfTheTree() {
        // Trimmed from Sway 1.7's get_tree: a workspace with a tiled native
        // window and a floating Xwayland one.
        const auto tree = SwayIpc::parseTree(R"({"id":1,"name":"root",
            "rect":{"x":0,"y":0,"width":2560,"height":1024},"nodes":[{"id":3,"name":"1",
            "type":"workspace","rect":{"x":0,"y":0,"width":1280,"height":1024},
            "floating_nodes":[{"id":7,"name":"Quindorel","pid":42,"shell":"xwayland",
              "app_id":null,"rect":{"x":300,"y":200,"width":656,"height":644},"nodes":[]}],
            "nodes":[{"id":5,"name":"wev","pid":41,"shell":"xdg_shell","app_id":"wev",
              "rect":{"x":0,"y":0,"width":1280,"height":1024},"nodes":[]}]}]})");
        QVERIFY(tree);
        QCOMPARE(tree->layout.width, 2560);
        QCOMPARE(tree->windows.size(), std::size_t(2));
        const SwayIpc::Window& tiled = tree->windows[0];
        const SwayIpc::Window& floating = tree->windows[1];
        QCOMPARE(tiled.conId, 5);
        QCOMPARE(tiled.appId, std::string("wev"));
        QVERIFY(!tiled.floating && !tiled.xwayland);
        QCOMPARE(floating.title, std::string("Quindorel"));
        QVERIFY(floating.floating && floating.xwayland && floating.appId.empty());
        QVERIFY(floating.rect.contains(300, 843) && !floating.rect.contains(300, 844));
    }

    void damagedAnswersGiveNoTree() {
        QVERIFY(!SwayIpc::parseTree("{\"nodes\": [1, 2"));
        QVERIFY(!SwayIpc::parseTree("[]"));
        // Odd types are passed over, not trusted.
        const auto tree = SwayIpc::parseTree(R"({"rect":5,"nodes":[{"pid":"x","name":7}]})");
        QVERIFY(tree && tree->windows.empty());
    }

    void repeatRateAndReloads() {
        // Sway 1.8's get_inputs tells the rate; 1.7's does not: nothing then.
        QCOMPARE(SwayIpc::parseVirtualKeyboardRepeatRate(
                     R"([{"identifier":"1:1:kbd","repeat_rate":40},
                         {"identifier":"0:0:virtual_keyboard","repeat_rate":0}])"),
                 std::optional<std::int32_t>(0));
        QVERIFY(
            !SwayIpc::parseVirtualKeyboardRepeatRate(R"([{"identifier":"0:0:virtual_keyboard"}])"));
        QVERIFY(SwayIpc::isReload(0x80000000, R"({"change":"reload","old":null})"));
        QVERIFY(!SwayIpc::isReload(0x80000000, R"({"change":"focus"})"));
    }

    void virtualKeyboardRateOfTheConfiguration() {
        // The last line that reaches virtual keyboards wins, blocks and
        // variables as anywhere; Sway's default without one.
        const std::pair<const char*, std::int32_t> table[] = {
            {"input 1:1:kbd repeat_rate 40", 25},
            {"set $r 0\ninput * {\n  repeat_rate $r\n}", 0},
            {"input 0:0:virtual_keyboard repeat_rate 30\ninput * repeat_rate 33", 33},
            {"input \"0:0:virtual_keyboard\" repeat_rate 31\ninput * repeat_rate x", 31},
        };
        for (const auto& [config, rate] : table) {
            QCOMPARE(readSwayBindings(config, "", fakeFiles({})).virtualKeyboardRepeatRate, rate);
        }
    }

    void theStopKeyTaken() {
        // The main file is /home/u/.config/sway/config; "\n--PATH\n" starts
        // another file. The layout is the seat's ("LAYOUTS VARIANTS"), if told.
        const struct {
            const char* files;
            const char* layout;
            bool taken;
        } table[] = {
            {"bindsym Ctrl+Shift+s exec foo", "", true},
            {"  bindsym --release --no-repeat shift+CONTROL+S kill", "", true},
            {"set $m Ctrl\nbindsym $m+Shift+s exec x", "", true},
            {"set $m Mod1\nset $mod Ctrl\nbindsym $mod+Shift+s exec x", "", true},
            {"bindsym $mod+Shift+s exec x\nset $mod Ctrl", "", false},  // set too late
            {"set $c Ctrl\nset $k $c+Shift+s\nbindsym $k exec x", "", true},
            {"bindcode Ctrl+Shift+39 exec x", "", true},
            {"bindcode Ctrl+Shift+40 exec x", "", false},
            // --to-code: the key that types O in the first layout types S in the second.
            {"bindsym --to-code Ctrl+Shift+o exec x", "us,us dvorak,", true},
            {"bindsym --to-code Ctrl+Shift+o exec x", "us dvorak", false},
            {"mode \"resize\" {\n  bindsym Ctrl+Shift+s mode default\n}", "", true},
            {"bindsym --to-code\n{\n  Mod4+q kill\n  Ctrl+Shift+s exec x\n}", "", true},
            {"bindsym \\\n  Ctrl+Shift+s exec x", "", true},
            {"set $d config.d\ninclude $d/*.conf\n--/home/u/.config/sway/config.d/1.conf\n"
             "set $mod Ctrl\n--/home/u/.config/sway/config.d/2.conf\nbindsym $mod+Shift+s x",
             "", true},
            {"include ~/keys\ninclude \"$XDG_CONFIG_HOME/more\"\n--/home/u/keys\nset $mod Ctrl\n"
             "--/home/u/.config/more\nbindsym $mod+Shift+s x",
             "", true},
            {"include /etc/sway/config.d/*\n--/etc/sway/config.d/50-user\nbindsym Ctrl+Shift+s x",
             "", true},
            {"include a\ninclude a\ninclude b\n--/home/u/.config/sway/a\nbindsym Mod4+s x\ninclude "
             "a",
             "", false},
            {"include secret\n--/home/u/.config/sway/secret\n<unreadable>", "", true},
            {"include $(hostname).conf", "", true},
            {"bindsym Ctrl+Shift+d exec foo", "", false},
            {"bindsym Mod4+Ctrl+Shift+s exec foo", "", false},
            {"# bindsym Ctrl+Shift+s\nexec Ctrl+Shift+s\nset $x bindsym Ctrl+Shift+s", "", false},
        };
        for (const auto& row : table) {
            const QStringList parts = QString(row.files).split(QStringLiteral("\n--"));
            std::map<std::string, std::string> files = {
                {"/home/u/.config/sway/config", parts[0].toStdString()}};
            for (const QString& file : parts.mid(1)) {
                files[file.section(QLatin1Char('\n'), 0, 0).toStdString()] =
                    file.section(QLatin1Char('\n'), 1).toStdString();
            }
            qputenv("XKB_DEFAULT_LAYOUT", QByteArray(row.layout).split(' ').value(0));
            qputenv("XKB_DEFAULT_VARIANT", QByteArray(row.layout).split(' ').value(1));
            const auto keymap = *row.layout != 0 ? chooseKeymap("") : XkbPtr<xkb_keymap>();
            const SwayBindings read = readSwayBindings(
                parts[0].toStdString(), "/home/u/.config/sway/config", fakeFiles(files));
            const bool bound =
                std::any_of(read.bindings.begin(), read.bindings.end(),
                            [&](const SwayBinding& b) { return bindsStopKey(b, keymap.get()); });
            QVERIFY2((bound || !read.doubts.empty()) == row.taken, row.files);
        }
        // A relative include from a file whose place is unknown is a doubt.
        QCOMPARE(readSwayBindings("include keys", "", fakeFiles({})).doubts.size(), std::size_t(1));
    }

    // The user's start/stop key in Sway's words, and whether a binding of
    // the configuration has it: exactly its modifiers, either case.
    void theStartStopKeyInSwaysWords() {
        const HotKey ctrlF10{0x79, HotKey::kCtrl};
        const HotKey winAltP{'P', HotKey::kWin | HotKey::kAlt};
        QCOMPARE(swayKeyCombo(ctrlF10), std::string("Ctrl+F10"));
        QCOMPARE(swayKeyCombo(winAltP), std::string("Mod1+Mod4+p"));
        QCOMPARE(swayKeyCombo(HotKey{0x65, 0}), std::string("KP_5"));
        const struct {
            const char* line;
            HotKey key;
            bool taken;
        } table[] = {
            {"bindsym Control+f10 exec x", ctrlF10, true},
            {"bindsym F10 exec x", ctrlF10, false},
            {"bindsym Ctrl+Shift+F10 exec x", ctrlF10, false},
            {"bindsym Mod4+Mod1+P exec x", winAltP, true},
        };
        for (const auto& row : table) {
            const SwayBindings read = readSwayBindings(row.line, "", fakeFiles({}));
            QVERIFY2(read.bindings.size() == 1 &&
                         bindsKey(read.bindings[0], nullptr, row.key) == row.taken,
                     row.line);
        }
    }
};

QTEST_GUILESS_MAIN(SwayIpcTest)
#include "SwayIpcTest.moc"
