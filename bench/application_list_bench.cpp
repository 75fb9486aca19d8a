// Times the rebuild of the application list ("Refresh List") with many real
// top-level windows open. Run on a private display (with-x-server.sh [--wm]):
//   bench_application_list [windows] [rounds]
// Prints the rows listed and the median and slowest rebuild in milliseconds.
// A benchmark, not a test: it asserts nothing.
#include <xcb/xcb.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "platform/DesktopPlatform.h"

namespace {

// Opens `count` small titled windows on a connection of their own and waits
// until the server (and a window manager, if one runs) has them all.
void openWindows(xcb_connection_t* c, int count) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    for (int i = 0; i < count; ++i) {
        const xcb_window_t window = xcb_generate_id(c);
        const std::uint32_t background = screen->white_pixel;
        xcb_create_window(
            c, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<std::int16_t>(i % 40 * 30),
            static_cast<std::int16_t>(i / 40 * 38), 120, 40, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
            screen->root_visual, XCB_CW_BACK_PIXEL, &background);
        const std::string title = "bench window " + std::to_string(i);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        xcb_map_window(c, window);
    }
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // A window manager takes its time to manage them all: wait until its client
    // list holds every one (it lists none at all when no window manager runs).
    const char* wm = std::getenv("QUINDOREL_TEST_WM");
    if (wm == nullptr || std::string(wm) == "none") {
        return;
    }
    const char name[] = "_NET_CLIENT_LIST";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    for (int attempt = 0; attempt < 3600; ++attempt) {
        xcb_get_property_reply_t* list = xcb_get_property_reply(
            c, xcb_get_property(c, 0, screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1u << 16),
            nullptr);
        const int managed = list ? xcb_get_property_value_length(list) / 4 : 0;
        std::free(list);
        if (managed >= count) {
            break;
        }
        QThread::msleep(50);
    }
    std::free(atom);
    QThread::msleep(2000);  // and until the last frames are mapped
}

}  // namespace

int main(int argc, char* argv[]) {
    const int windows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    xcb_connection_t* owner = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(owner)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    openWindows(owner, windows);

    QApplication application(argc, argv);
    QTemporaryDir program;
    QFile seed(program.filePath(QStringLiteral("xsettings.txt")));
    if (!seed.open(QIODevice::WriteOnly) || seed.write("\r\n") != 2) {
        return 1;
    }
    seed.close();
    const auto platform = quindorel::createDesktopPlatform();
    quindorel::MainWindow window(*platform, program.path());
    window.formLoad();
    window.show();
    QApplication::processEvents();

    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        window.model().refreshList();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    std::printf("%d %.2f %.2f\n", window.controls().appList->topLevelItemCount(),
                times[times.size() / 2], times.back());
    xcb_disconnect(owner);
    return 0;
}
