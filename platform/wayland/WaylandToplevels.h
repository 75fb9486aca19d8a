#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/NativeDesktop.h"

struct wl_array;
struct wl_output;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace quindorel {

struct WaylandToplevel {
    // Negative, counting down from -1 in the order the windows appeared, so
    // that they never clash with X11 window ids (positive, 29 bits).
    WindowId id = 0;
    std::string title;  // as the program shows titles (cutTitle)
    std::string appId;
    bool activated = false;
    bool minimized = false;
};

// The native windows of a wlroots desktop, as zwlr_foreign_toplevel_manager_v1
// tells them. The compositor sends each window's state in pieces, closed by
// `done`; only done states are shown.
class WaylandToplevels {
public:
    WaylandToplevels() = default;
    ~WaylandToplevels();
    WaylandToplevels(const WaylandToplevels&) = delete;
    WaylandToplevels& operator=(const WaylandToplevels&) = delete;

    // Starts listening to `manager`: at once, since the compositor announces
    // the windows right after the bind.
    void attach(zwlr_foreign_toplevel_manager_v1* manager);
    // Lets go of every window and the manager, before the connection closes.
    void detach();
    bool available() const { return manager_ != nullptr; }

    // The windows, in the order they appeared.
    std::vector<WaylandToplevel> list() const;
    // The window that has the keyboard, 0 when no native window has it.
    WindowId activeWindow() const;
    // Counts the changes the compositor told: a window came, went or changed.
    std::uint64_t changes() const { return changes_; }
    // Asks the compositor to focus the window on `seat`; false when there is
    // no such window (it closed).
    bool activate(WindowId window, wl_seat* seat);

private:
    struct Entry {
        WaylandToplevels* owner = nullptr;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        WaylandToplevel shown;
        WaylandToplevel pending;
    };
    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1* manager,
                           zwlr_foreign_toplevel_handle_v1* handle);
    static void onFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager);
    static void onTitle(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* title);
    static void onAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId);
    static void onState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* state);
    static void onDone(void* data, zwlr_foreign_toplevel_handle_v1* handle);
    static void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle);
    void remove(zwlr_foreign_toplevel_handle_v1* handle);

    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    std::vector<std::unique_ptr<Entry>> entries_;
    WindowId nextId_ = -1;
    std::uint64_t changes_ = 0;
};

}  // namespace quindorel
