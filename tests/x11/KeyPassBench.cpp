// Prints how long a press pass of all 104 on-screen keys takes to arrive in a
// real X client, from the first key-down to the last in the X server's own
// timestamps (milliseconds). A benchmark, not a test: it asserts nothing.
//   with-x-server.sh x11_key_pass_bench [rounds]
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "XcbClient.h"
#include "keys/KeyTable.h"
#include "platform/x11/X11Desktop.h"

using namespace std::chrono_literals;

namespace {

struct Span {
    std::size_t keyDowns = 0;
    std::uint32_t milliseconds = 0;
};

// The first key-down of each key counts: a key held long enough starts the
// server's auto-repeat, whose presses are not part of the pass.
Span measure(quindorel::X11Desktop& desktop, xcb_connection_t* recorder,
             const std::vector<quindorel::KeyStroke>& downs,
             const std::vector<quindorel::KeyStroke>& ups, std::size_t distinctKeys) {
    desktop.sendKeys(downs);
    std::map<xcb_keycode_t, xcb_timestamp_t> firstPress;
    quindorel::test::waitUntil(
        [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(recorder)) {
                if ((event->response_type & 0x7F) == XCB_KEY_PRESS) {
                    const auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
                    firstPress.emplace(press->detail, press->time);
                }
                std::free(event);
            }
            return firstPress.size() >= distinctKeys;
        },
        2000ms);
    desktop.sendKeys(ups);
    Span span;
    span.keyDowns = firstPress.size();
    if (!firstPress.empty()) {
        const auto [first, last] =
            std::minmax_element(firstPress.begin(), firstPress.end(),
                                [](const auto& a, const auto& b) { return a.second < b.second; });
        span.milliseconds = last->second - first->second;
    }
    return span;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    quindorel::X11Desktop desktop(connection, screen);
    quindorel::test::XcbClient client;
    const xcb_window_t window = client.createWindow();
    client.setNetWmName(window, "recorder");
    client.mapAndWait(window);
    desktop.showWindow(static_cast<quindorel::WindowId>(window));

    // The key-set file order; the two Enter keys share one code, so 103
    // distinct keys go down.
    std::vector<quindorel::KeyStroke> downs;
    std::vector<quindorel::KeyStroke> ups;
    std::set<int> codes;
    for (const quindorel::KeyDefinition& key : quindorel::keyboardKeys()) {
        downs.push_back({static_cast<std::uint8_t>(key.code), true});
        ups.push_back({static_cast<std::uint8_t>(key.code), false});
        codes.insert(key.code);
    }

    std::vector<std::uint32_t> spans;
    std::size_t arrived = codes.size();
    for (int round = 0; round < rounds; ++round) {
        const Span span = measure(desktop, client.connection(), downs, ups, codes.size());
        arrived = std::min(arrived, span.keyDowns);
        spans.push_back(span.milliseconds);
        client.keyEvents();  // drop the releases
    }
    std::sort(spans.begin(), spans.end());
    std::printf(
        "104-key press pass: %zu of %zu distinct keys arrived; span in X server ms over %d "
        "rounds: median %u, max %u\n",
        arrived, codes.size(), rounds, spans[spans.size() / 2], spans.back());
    xcb_disconnect(connection);
    return arrived == codes.size() ? 0 : 1;
}
