// The X11 back end against a real X server (Xvfb), run once without a window
// manager and once under openbox (see with-x-server.sh).
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QtTest>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "XcbClient.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11KeyLayout.h"

using namespace std::chrono_literals;
using quindorel::KeyStroke;
using quindorel::TopLevelWindow;
using quindorel::X11Desktop;
using quindorel::test::waitUntil;
using quindorel::test::XcbClient;
using quindorel::test::XcbPtr;

namespace {

std::optional<TopLevelWindow> findWindow(const std::vector<TopLevelWindow>& windows,
                                         xcb_window_t id) {
    for (const TopLevelWindow& window : windows) {
        if (window.id == static_cast<quindorel::WindowId>(id)) {
            return window;
        }
    }
    return std::nullopt;
}

int indexOf(const std::vector<TopLevelWindow>& windows, xcb_window_t id) {
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].id == static_cast<quindorel::WindowId>(id)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Switches the keyboard layout, as a user's layout switch does; of one
// keyboard only when `device` is given.
bool setLayout(const char* layout, int device = -1) {
    std::string command = "setxkbmap -layout " + std::string(layout);
    if (device >= 0) {
        command += " -device " + std::to_string(device);
    }
    return std::system(command.c_str()) == 0;
}

std::vector<KeyStroke> strokes(const std::vector<std::uint8_t>& codes, bool down) {
    std::vector<KeyStroke> result;
    for (const std::uint8_t code : codes) {
        result.push_back({code, down});
    }
    return result;
}

// What the back end logged, line by line.
struct LogLine {
    quindorel::LogTopic topic;
    quindorel::LogLevel level;
    QString text;
};

quindorel::SystemLog recordInto(std::vector<LogLine>& lines) {
    return quindorel::SystemLog(
        [&lines](quindorel::LogTopic topic, quindorel::LogLevel level, const std::string& text) {
            lines.push_back({topic, level, QString::fromStdString(text)});
        });
}

// The error events that have reached the connection, read and dropped with
// every other event (on the desktop's connection they would reach Qt's handler).
int drainErrors(xcb_connection_t* connection) {
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    int errors = 0;
    while (XcbPtr<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
        errors += event->response_type == 0 ? 1 : 0;
    }
    return errors;
}

}  // namespace

class X11DesktopTest : public QObject {
    Q_OBJECT

private:
    bool managed() const { return qgetenv("QUINDOREL_TEST_WM") == "openbox"; }
    // A mapped, titled window that has the focus, ready to record keys.
    xcb_window_t focusedRecorder();

    xcb_connection_t* connection_ = nullptr;
    std::unique_ptr<X11Desktop> desktop_;
    std::unique_ptr<XcbClient> client_;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void walkReportsTitleVisibilityAndOwner();
    void walkFollowsStackingOrder();
    void walkSurvivesWindowsThatVanish();
    void walkFindsClientsInFramesWithoutAClientList();
    void topMostThenReleaseToTheCorner();
    void showRestoresAndFocuses();
    void deadWindowsAreHarmless();
    void xErrorIsLoggedWithWhatWasDone();
    void keysReachTheFocusedWindow_data();
    void keysReachTheFocusedWindow();
    void keysymWithoutKeyIsBorrowedUntilItsKeyUp();
    void pointerGoesOverTheWindow_data();
    void pointerGoesOverTheWindow();
    void keysFollowTheLayout_data();
    void keysFollowTheLayout();
    // Runs before this test case's desktop registers the hot key itself.
    void hotKeyHeldByAnotherClientIsRefused();
    void userKeyTellsEachPressOnce();
    void hotKeyArrivesWhateverTheLocks_data();
    void hotKeyArrivesWhateverTheLocks();
};

void X11DesktopTest::initTestCase() {
    int screen = 0;
    connection_ = xcb_connect(nullptr, &screen);
    QVERIFY2(!xcb_connection_has_error(connection_), "no X server: run under with-x-server.sh");
    desktop_ = std::make_unique<X11Desktop>(connection_, screen);
    QVERIFY2(desktop_->canSendKeys(), "the X server has no XTEST extension");
}

void X11DesktopTest::init() {
    client_ = std::make_unique<XcbClient>();
}

void X11DesktopTest::cleanup() {
    client_.reset();  // its windows go with its connection
    QCOMPARE(drainErrors(connection_), 0);
}

void X11DesktopTest::cleanupTestCase() {
    desktop_.reset();
    xcb_disconnect(connection_);
}

xcb_window_t X11DesktopTest::focusedRecorder() {
    const xcb_window_t window = client_->createWindow();
    client_->setNetWmName(window, "recorder");
    client_->mapAndWait(window);
    desktop_->showWindow(static_cast<quindorel::WindowId>(window));
    waitUntil([&] { return client_->inputFocus() == window; });
    return window;
}

void X11DesktopTest::walkReportsTitleVisibilityAndOwner() {
    const xcb_window_t plain = client_->createWindow();
    client_->setNetWmName(plain, "Plain window");
    client_->mapAndWait(plain);

    const xcb_window_t utf8 = client_->createWindow();
    client_->setNetWmName(utf8, "Grüße 日本");
    client_->setText(utf8, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "old name");  // _NET_WM_NAME wins
    client_->mapAndWait(utf8);

    const xcb_window_t latin1 = client_->createWindow();
    client_->setText(latin1, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Caf\xE9");
    client_->mapAndWait(latin1);

    const xcb_window_t untitled = client_->createWindow();
    client_->mapAndWait(untitled);

    const xcb_window_t hidden = client_->createWindow();
    client_->setNetWmName(hidden, "Hidden");

    const xcb_window_t dialog = client_->createWindow();
    client_->setNetWmName(dialog, "Dialog");
    client_->setTransientFor(dialog, plain);
    client_->mapAndWait(dialog);

    // 100 characters of two bytes each: cut to 79 whole characters.
    std::string longTitle;
    for (int i = 0; i < 100; ++i) {
        longTitle += "é";
    }
    const xcb_window_t longNamed = client_->createWindow();
    client_->setNetWmName(longNamed, longTitle);
    client_->mapAndWait(longNamed);

    const std::vector<TopLevelWindow> windows = desktop_->topLevelWindows();
    struct Expected {
        xcb_window_t id;
        std::string title;
        bool visible;
        bool owned;
    };
    std::string clipped;
    for (int i = 0; i < 79; ++i) {
        clipped += "é";
    }
    const Expected expected[] = {
        {plain, "Plain window", true, false}, {utf8, "Grüße 日本", true, false},
        {latin1, "Café", true, false},        {untitled, "", true, false},
        {dialog, "Dialog", true, true},       {longNamed, clipped, true, false},
    };
    for (const Expected& want : expected) {
        const std::optional<TopLevelWindow> got = findWindow(windows, want.id);
        QVERIFY2(got, want.title.c_str());
        QCOMPARE(QString::fromStdString(got->title), QString::fromStdString(want.title));
        QCOMPARE(got->visible, want.visible);
        QCOMPARE(got->owned, want.owned);
    }
    // A window manager lists only the windows it manages; without one every
    // child of the root is there, the never-mapped one as not visible.
    const std::optional<TopLevelWindow> hiddenRow = findWindow(windows, hidden);
    QVERIFY(!hiddenRow || !hiddenRow->visible);

    if (managed()) {
        client_->iconifyAndWait(plain);
        const std::optional<TopLevelWindow> iconic = findWindow(desktop_->topLevelWindows(), plain);
        QVERIFY(iconic);
        QVERIFY2(iconic->visible, "an iconified window still counts as visible");
    }
}

void X11DesktopTest::walkFollowsStackingOrder() {
    const xcb_window_t a = client_->createWindow();
    const xcb_window_t b = client_->createWindow();
    const xcb_window_t c = client_->createWindow();
    for (const xcb_window_t window : {a, b, c}) {
        client_->mapAndWait(window);
    }
    auto order = [&] {
        const std::vector<TopLevelWindow> windows = desktop_->topLevelWindows();
        return std::vector<int>{indexOf(windows, a), indexOf(windows, b), indexOf(windows, c)};
    };
    // Newest on top: c, b, a.
    QVERIFY(waitUntil([&] {
        const auto at = order();
        return at[0] >= 0 && at[2] < at[1] && at[1] < at[0];
    }));

    // Raising a puts it first.
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(client_->connection(), a, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(client_->connection());
    QVERIFY(waitUntil([&] {
        const auto at = order();
        return at[0] >= 0 && at[0] < at[2] && at[2] < at[1];
    }));
}

void X11DesktopTest::walkSurvivesWindowsThatVanish() {
    std::atomic<bool> stop = false;
    std::thread churn([&stop] {
        XcbClient other;
        while (!stop) {
            const xcb_window_t window = other.createWindow();
            other.setNetWmName(window, "short-lived");
            xcb_map_window(other.connection(), window);
            xcb_destroy_window(other.connection(), window);
            xcb_flush(other.connection());
        }
    });
    for (int i = 0; i < 100; ++i) {
        for (const TopLevelWindow& window : desktop_->topLevelWindows()) {
            QVERIFY(window.id != 0);
        }
    }
    stop = true;
    churn.join();
}

void X11DesktopTest::walkFindsClientsInFramesWithoutAClientList() {
    if (managed()) {
        QSKIP("openbox publishes its client list");
    }
    // A frame as weston's Xwayland window manager makes one, on a root with
    // no client list: the client inside carries WM_STATE.
    xcb_connection_t* connection = client_->connection();
    const xcb_window_t frame = client_->createWindow();
    const xcb_window_t framed = client_->createWindow();
    const xcb_atom_t wmState = client_->atom("WM_STATE");
    const std::uint32_t normalState[] = {1, XCB_NONE};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, framed, wmState, wmState, 32, 2,
                        normalState);
    xcb_reparent_window(connection, framed, frame, 4, 20);
    xcb_map_window(connection, framed);
    client_->mapAndWait(frame);

    const std::vector<TopLevelWindow> windows = desktop_->topLevelWindows();
    QCOMPARE(indexOf(windows, frame), -1);
    QVERIFY(findWindow(windows, framed) && findWindow(windows, framed)->visible);
}

void X11DesktopTest::topMostThenReleaseToTheCorner() {
    const xcb_window_t target = client_->createWindow(300, 200, 220, 140);
    client_->setNetWmName(target, "target");
    client_->mapAndWait(target);
    const xcb_window_t other = client_->createWindow(320, 220, 200, 100);
    client_->setNetWmName(other, "other");
    client_->mapAndWait(other);
    const xcb_atom_t netWmState = client_->atom("_NET_WM_STATE");
    const xcb_atom_t above = client_->atom("_NET_WM_STATE_ABOVE");
    auto hasAbove = [&] {
        const auto atoms = client_->atomsOf(target, netWmState);
        return std::find(atoms.begin(), atoms.end(), above) != atoms.end();
    };
    // Stacked above the window that covered it (a window manager keeps
    // windows of its own above every client, so "top child" would not do).
    auto aboveOther = [&] {
        const auto children = client_->rootChildrenBottomFirst();
        const auto position = [&](xcb_window_t window) {
            return std::find(children.begin(), children.end(), client_->topAncestor(window)) -
                   children.begin();
        };
        return position(target) > position(other);
    };
    QVERIFY(!aboveOther());
    const xcb_window_t frame = client_->topAncestor(target);
    const xcb_get_geometry_reply_t before = client_->geometry(frame);
    const xcb_get_geometry_reply_t clientBefore = client_->geometry(target);

    desktop_->makeTopMost(static_cast<quindorel::WindowId>(target));
    QVERIFY(waitUntil(aboveOther));
    if (managed()) {
        QVERIFY(waitUntil(hasAbove));
    }
    const xcb_get_geometry_reply_t raised = client_->geometry(frame);
    QCOMPARE(raised.x, before.x);  // not moved
    QCOMPARE(raised.y, before.y);

    desktop_->releaseTopMost(static_cast<quindorel::WindowId>(target));
    QVERIFY(waitUntil([&] {
        const xcb_get_geometry_reply_t now = client_->geometry(client_->topAncestor(target));
        return now.x == 0 && now.y == 0;
    }));
    if (managed()) {
        QVERIFY(waitUntil([&] { return !hasAbove(); }));
    }
    const xcb_get_geometry_reply_t clientAfter = client_->geometry(target);
    QCOMPARE(clientAfter.width, clientBefore.width);  // size kept
    QCOMPARE(clientAfter.height, clientBefore.height);
}

void X11DesktopTest::showRestoresAndFocuses() {
    const xcb_window_t target = client_->createWindow();
    client_->setNetWmName(target, "target");
    if (managed()) {
        client_->mapAndWait(target);
        client_->iconifyAndWait(target);
        QVERIFY(!client_->viewable(target));
    }
    desktop_->showWindow(static_cast<quindorel::WindowId>(target));
    // The call itself waits for the focus; a window manager may take a moment.
    QVERIFY(waitUntil([&] { return client_->viewable(target); }));
    QVERIFY(waitUntil([&] { return client_->inputFocus() == target; }));
}

void X11DesktopTest::deadWindowsAreHarmless() {
    const xcb_window_t gone = client_->createWindow();
    client_->mapAndWait(gone);
    client_->destroy(gone);
    const auto id = static_cast<quindorel::WindowId>(gone);
    desktop_->makeTopMost(id);
    desktop_->showWindow(id);
    desktop_->releaseTopMost(id);
    QCOMPARE(drainErrors(connection_), 0);
    QVERIFY(!findWindow(desktop_->topLevelWindows(), gone));
}

void X11DesktopTest::xErrorIsLoggedWithWhatWasDone() {
    std::vector<LogLine> lines;
    X11Desktop desktop(connection_, 0, recordInto(lines));
    if (!managed()) {  // a window manager would move the focus on
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                            XCB_CURRENT_TIME);
        QVERIFY(!desktop.ownWindowHasKeyboard());
        QCOMPARE(lines.size(), std::size_t{0});  // PointerRoot is no window to look into
    }
    const xcb_window_t missing = xcb_generate_id(connection_);  // no window has it
    desktop.makeTopMost(static_cast<quindorel::WindowId>(missing));
    QCOMPARE(lines.size(), std::size_t{1});
    QCOMPARE(lines[0].topic, quindorel::LogTopic::X11);
    QCOMPARE(lines[0].level, quindorel::LogLevel::Debug);  // a window may go at any time
    const QString id = QString::number(missing, 16);
    QVERIFY2(lines[0].text.startsWith("raising window 0x" + id +
                                      ": X error BadWindow (3) from "
                                      "ConfigureWindow (major 12, minor 0), resource 0x" +
                                      id),
             qPrintable(lines[0].text));
}

void X11DesktopTest::keysReachTheFocusedWindow_data() {
    QTest::addColumn<std::vector<std::uint8_t>>("codes");
    QTest::addColumn<std::vector<std::uint32_t>>("keysyms");
    QTest::newRow("a, left Shift, Up") << std::vector<std::uint8_t>{65, 160, 38}
                                       << std::vector<std::uint32_t>{XK_a, XK_Shift_L, XK_Up};
    QTest::newRow("right-hand modifiers stay right")
        << std::vector<std::uint8_t>{161, 163, 165}
        << std::vector<std::uint32_t>{XK_Shift_R, XK_Control_R, XK_Alt_R};
    QTest::newRow("generic modifiers are the left ones")
        << std::vector<std::uint8_t>{16, 17, 18}
        << std::vector<std::uint32_t>{XK_Shift_L, XK_Control_L, XK_Alt_L};
    QTest::newRow("keypad keys, not the main row")
        << std::vector<std::uint8_t>{97, 96, 110, 111, 106, 109, 107}
        << std::vector<std::uint32_t>{XK_KP_1,        XK_KP_0,        XK_KP_Decimal, XK_KP_Divide,
                                      XK_KP_Multiply, XK_KP_Subtract, XK_KP_Add};
    QTest::newRow("main row, punctuation and the 102nd key")
        << std::vector<std::uint8_t>{49, 192, 189, 187, 219, 221, 220, 186, 222, 188, 190, 191, 226}
        << std::vector<std::uint32_t>{XK_1,           XK_grave,        XK_minus,     XK_equal,
                                      XK_bracketleft, XK_bracketright, XK_backslash, XK_semicolon,
                                      XK_apostrophe,  XK_comma,        XK_period,    XK_slash,
                                      XK_less};
    QTest::newRow("codes without a key are skipped")
        << std::vector<std::uint8_t>{7, 65, 0xE5, 0xFF} << std::vector<std::uint32_t>{XK_a};
}

void X11DesktopTest::keysReachTheFocusedWindow() {
    QFETCH(std::vector<std::uint8_t>, codes);
    QFETCH(std::vector<std::uint32_t>, keysyms);
    focusedRecorder();

    desktop_->sendKeys(strokes(codes, true));
    desktop_->sendKeys(strokes(codes, false));

    QVERIFY(client_->waitForKeyEvents(2 * keysyms.size(), 2000ms));
    QTest::qWait(50);  // nothing more may follow
    const std::vector<XcbClient::KeyEvent> got = client_->keyEvents();
    QCOMPARE(got.size(), 2 * keysyms.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::uint32_t keysym = keysyms[i % keysyms.size()];
        QCOMPARE(got[i].down, i < keysyms.size());
        // A key whose plain level means the keysym, so no Shift is needed; a
        // keypad keysym may sit on the NumLock level of a keypad key.
        const bool keypad = keysym >= XK_KP_Space && keysym <= XK_KP_Equal;
        QVERIFY2(client_->keycodeProduces(got[i].keycode, keysym, keypad ? 2 : 1),
                 qPrintable(QStringLiteral("event %1: keycode %2").arg(i).arg(got[i].keycode)));
        if (keypad) {
            QVERIFY(!client_->keycodeProduces(got[i].keycode, XK_0, 8));  // not the main row
        }
    }
}

void X11DesktopTest::keysymWithoutKeyIsBorrowedUntilItsKeyUp() {
    // F20 has no key on the usual keymaps (F13 and up are media keys there).
    constexpr std::uint8_t kF20 = 0x83;
    QCOMPARE(client_->keycodeOf(XK_F20), xcb_keycode_t{0});
    focusedRecorder();

    desktop_->sendKeys({{kF20, true}, {65, true}});
    QVERIFY(client_->waitForKeyEvents(2, 2000ms));
    const XcbClient::KeyEvent press = client_->keyEvents()[0];
    QVERIFY(press.down);
    QVERIFY2(client_->keycodeProduces(press.keycode, XK_F20), "bound while it is down");

    desktop_->sendKeys({{kF20, false}, {65, false}});
    // Searched rather than indexed: a slow machine may let the server's
    // auto-repeat add presses while the keys are down.
    auto releaseOf = [&](xcb_keycode_t keycode) {
        for (const XcbClient::KeyEvent& event : client_->keyEvents()) {
            if (!event.down && event.keycode == keycode) {
                return true;
            }
        }
        return false;
    };
    QVERIFY(waitUntil([&] { return releaseOf(press.keycode); }, 2000ms));
    QVERIFY2(!client_->keycodeProduces(press.keycode, XK_F20), "unbound after the key-up");
    QCOMPARE(client_->keycodeOf(XK_F20), xcb_keycode_t{0});

    // A key-up with nothing of ours down sends nothing.
    QTest::qWait(50);
    const std::size_t seen = client_->keyEvents().size();
    desktop_->sendKeys({{kF20, false}});
    QTest::qWait(100);
    QCOMPARE(client_->keyEvents().size(), seen);
}

// The pointer goes to the middle of the window unless it is over it already;
// it is not over the window where a window of ours lies on top there.
void X11DesktopTest::pointerGoesOverTheWindow_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("reaches");
    QTest::newRow("elsewhere: to the middle") << "elsewhere" << true;
    QTest::newRow("over the window: left there") << "inside" << true;
    QTest::newRow("a window of ours over the middle") << "covered" << false;
}

void X11DesktopTest::pointerGoesOverTheWindow() {
    QFETCH(QString, before);
    QFETCH(bool, reaches);
    const xcb_window_t window = focusedRecorder();  // 200 x 150
    xcb_connection_t* c = client_->connection();
    const std::int16_t at = before == "inside" ? 20 : -90;  // from the window's corner
    xcb_warp_pointer(c, XCB_NONE, window, 0, 0, 0, 0, at, at);
    const auto where = [&] {
        const XcbPtr<xcb_query_pointer_reply_t> at(
            xcb_query_pointer_reply(c, xcb_query_pointer(c, client_->root()), nullptr));
        return QPoint(at->root_x, at->root_y);
    };
    const QPoint start = where();
    const QPoint middle = start + QPoint(190, 165);
    const xcb_window_t ours = xcb_generate_id(connection_);
    if (before == "covered") {  // override-redirect: no window manager moves it
        const std::uint32_t overrideRedirect = 1;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, ours, client_->root(),
                          std::int16_t(middle.x() - 10), std::int16_t(middle.y() - 10), 20, 20, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        xcb_map_window(connection_, ours);
    }
    const bool reached = desktop_->pointerInto(static_cast<quindorel::WindowId>(window));
    if (before == "covered") {
        xcb_destroy_window(connection_, ours);
    }
    QCOMPARE(reached, reaches);
    QCOMPARE(where(), before == "inside" ? start : middle);
}

// The user's start/stop key acts as it comes up, once: key-downs again
// before its key-up (what auto-repeat sends) are no second press; let go,
// it is nobody's. The stop key's combination is not given to it.
void X11DesktopTest::userKeyTellsEachPressOnce() {
    using quindorel::KeyAction;
    const quindorel::HotKey f8{0x77, 0};
    QVERIFY(desktop_->setUpStopKey(0));
    QVERIFY(!desktop_->setUpKey(KeyAction::ToggleHold, quindorel::kStopHotKey, 0));
    QVERIFY(desktop_->setUpKey(KeyAction::ToggleHold, f8, 0));
    drainErrors(connection_);
    xcb_connection_t* other = client_->connection();
    const xcb_keycode_t key = client_->keycodeOf(XK_F8);
    std::vector<KeyAction> told;
    const auto press = [&](std::initializer_list<bool> downs) {
        for (const bool down : downs) {
            xcb_test_fake_input(other, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, key,
                                XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        }
        std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
        QTest::qWait(150);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if (const auto action = desktop_->keyActionOf(event)) {
                told.push_back(*action);
            }
            std::free(event);
        }
    };
    press({true, true, true});
    QCOMPARE(told, std::vector<KeyAction>{});
    press({false});
    QCOMPARE(told, std::vector<KeyAction>{KeyAction::ToggleHold});
    press({true, false});
    QCOMPARE(told, std::vector<KeyAction>(2, KeyAction::ToggleHold));
    QVERIFY(desktop_->setUpKey(KeyAction::ToggleHold, std::nullopt, 0));
    press({true, false});
    QCOMPARE(told.size(), std::size_t{2});
}

void X11DesktopTest::hotKeyArrivesWhateverTheLocks_data() {
    QTest::addColumn<std::vector<std::uint8_t>>("locks");
    QTest::newRow("no lock") << std::vector<std::uint8_t>{};
    QTest::newRow("NumLock") << std::vector<std::uint8_t>{0x90};
    QTest::newRow("CapsLock") << std::vector<std::uint8_t>{0x14};
    QTest::newRow("both") << std::vector<std::uint8_t>{0x90, 0x14};
}

void X11DesktopTest::hotKeyArrivesWhateverTheLocks() {
    QFETCH(std::vector<std::uint8_t>, locks);
    // Setting up again (each data row does) keeps working.
    QVERIFY(desktop_->setUpStopKey(0));
    drainErrors(connection_);

    auto toggle = [&] {
        for (const std::uint8_t lock : locks) {
            desktop_->sendKeys({{lock, true}, {lock, false}});
        }
    };
    toggle();
    desktop_->sendKeys({{17, true}, {16, true}, {83, true}, {83, false}, {16, false}, {17, false}});

    int presses = 0;
    std::uint16_t state = 0;
    waitUntil(
        [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                if (desktop_->isStopKeyPress(event)) {
                    ++presses;
                    state = reinterpret_cast<xcb_key_press_event_t*>(event)->state;
                }
                std::free(event);
            }
            return presses > 0;
        },
        2000ms);
    toggle();  // the locks go back off for the next test
    QCOMPARE(presses, 1);
    const bool numLock = std::count(locks.begin(), locks.end(), 0x90) > 0;
    const bool capsLock = std::count(locks.begin(), locks.end(), 0x14) > 0;
    QCOMPARE(bool(state & XCB_MOD_MASK_2), numLock);
    QCOMPARE(bool(state & XCB_MOD_MASK_LOCK), capsLock);

    // A plain "s" or Ctrl+S is not the hot key.
    desktop_->sendKeys({{17, true}, {83, true}, {83, false}, {17, false}});
    QTest::qWait(100);
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        QVERIFY(!desktop_->isStopKeyPress(event));
        std::free(event);
    }
}

void X11DesktopTest::hotKeyHeldByAnotherClientIsRefused() {
    // The program's desktop on a connection of its own; the test client
    // takes the combination first.
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    std::vector<LogLine> lines;
    auto desktop = std::make_unique<X11Desktop>(connection, screen, recordInto(lines));
    const xcb_keycode_t s = client_->keycodeOf(XK_s);
    xcb_connection_t* other = client_->connection();
    std::free(xcb_request_check(
        other, xcb_grab_key_checked(other, 1, client_->root(),
                                    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_2, s,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));

    QVERIFY(!desktop->setUpStopKey(0));
    // A grab changes the whole server: its refusal is a warning.
    QCOMPARE(lines.size(), std::size_t{1});
    QCOMPARE(lines[0].level, quindorel::LogLevel::Warning);
    QVERIFY2(lines[0].text.contains("grabbing the stop key") &&
                 lines[0].text.contains("X error BadAccess (10) from GrabKey (major 33"),
             qPrintable(lines[0].text));
    // The refusal left no error behind and the connection goes on working.
    QCOMPARE(drainErrors(connection), 0);
    QVERIFY(!xcb_connection_has_error(connection));

    // Once the other client lets go, the combination can be had.
    client_.reset();
    QVERIFY(waitUntil([&] { return desktop->setUpStopKey(0); }));
    desktop.reset();
    xcb_disconnect(connection);
    client_ = std::make_unique<XcbClient>();
}

void X11DesktopTest::keysFollowTheLayout_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<std::vector<std::uint8_t>>("codes");
    // What the key that arrives types without Shift: letters and digits by
    // what they type, punctuation by its place (";:" is the key right of L).
    QTest::addColumn<std::vector<std::uint32_t>>("plainKeysyms");
    // As under Xwayland, the XTEST keyboard may keep a map of its own beside
    // the real keyboard's: keys are looked up where XTEST reads them.
    QTest::addColumn<bool>("xtestOnly");
    QTest::newRow("us") << "us" << std::vector<std::uint8_t>{89, 186, 49, 191}
                        << std::vector<std::uint32_t>{XK_y, XK_semicolon, XK_1, XK_slash} << false;
    QTest::newRow("de") << "de" << std::vector<std::uint8_t>{89, 90, 186, 49, 191, 226}
                        << std::vector<std::uint32_t>{XK_y, XK_z,     XK_odiaeresis,
                                                      XK_1, XK_minus, XK_less}
                        << false;
    QTest::newRow("fr") << "fr" << std::vector<std::uint8_t>{65, 81, 186, 49}
                        << std::vector<std::uint32_t>{XK_a, XK_q, XK_m, XK_ampersand} << false;
    QTest::newRow("fr on the XTEST keyboard, us on the core one")
        << "fr" << std::vector<std::uint8_t>{65, 81} << std::vector<std::uint32_t>{XK_a, XK_q}
        << true;
}

void X11DesktopTest::keysFollowTheLayout() {
    QFETCH(QString, layout);
    QFETCH(std::vector<std::uint8_t>, codes);
    QFETCH(std::vector<std::uint32_t>, plainKeysyms);
    QFETCH(bool, xtestOnly);
    const int xtest = quindorel::X11KeyLayout::xtestKeyboard(quindorel::XcbErrors(connection_, {}));
    QVERIFY(xtest > 3);  // a keyboard of its own, not the core one
    QVERIFY2(setLayout(qPrintable(layout), xtestOnly ? xtest : -1), "setxkbmap failed");
    focusedRecorder();
    const quindorel::KeySendResult sent = desktop_->sendKeys(strokes(codes, true));
    // The layout is switched during the hold: each key-up still goes to the
    // key that went down (the check below), and nothing stays down.
    QVERIFY(setLayout(layout == "de" ? "fr" : "de"));
    std::vector<KeyStroke> ups = strokes(codes, false);
    for (std::size_t i = 0; i < ups.size() && i < sent.keys.size(); ++i) {
        ups[i].pressed = sent.keys[i];
    }
    desktop_->sendKeys(ups);
    const bool arrived = client_->waitForKeyEvents(2 * codes.size(), 2000ms);
    QVERIFY(setLayout("us", xtest));
    QVERIFY(setLayout("us"));
    QVERIFY(arrived);
    const XcbPtr<xcb_query_keymap_reply_t> keymap(xcb_query_keymap_reply(
        client_->connection(), xcb_query_keymap(client_->connection()), nullptr));
    QVERIFY(keymap && std::all_of(std::begin(keymap->keys), std::end(keymap->keys),
                                  [](std::uint8_t bits) { return bits == 0; }));
    const std::vector<XcbClient::KeyEvent> got = client_->keyEvents();
    for (std::size_t i = 0; i < codes.size(); ++i) {
        QVERIFY2(got[i].down && !got[i + codes.size()].down, "downs, then ups");
        QCOMPARE(got[i + codes.size()].keycode, got[i].keycode);
        QVERIFY(setLayout(qPrintable(layout)));
        const bool produces = client_->keycodeProduces(got[i].keycode, plainKeysyms[i], 1);
        QVERIFY(setLayout("us"));
        QVERIFY2(
            produces,
            qPrintable(
                QStringLiteral("code %1 went to keycode %2").arg(codes[i]).arg(got[i].keycode)));
    }
}

QTEST_GUILESS_MAIN(X11DesktopTest)
#include "X11DesktopTest.moc"
