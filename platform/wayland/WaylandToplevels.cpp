#include "platform/wayland/WaylandToplevels.h"

#include <wayland-client.h>

#include <algorithm>

#include "platform/WindowTitle.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

namespace quindorel {

namespace {

void ignoreOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void ignoreParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

}  // namespace

WaylandToplevels::~WaylandToplevels() {
    detach();
}

void WaylandToplevels::attach(zwlr_foreign_toplevel_manager_v1* manager) {
    static const zwlr_foreign_toplevel_manager_v1_listener listener = {onToplevel, onFinished};
    manager_ = manager;
    zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &listener, this);
}

void WaylandToplevels::detach() {
    for (const auto& entry : entries_) {
        zwlr_foreign_toplevel_handle_v1_destroy(entry->handle);
    }
    entries_.clear();
    if (manager_ != nullptr) {
        zwlr_foreign_toplevel_manager_v1_stop(manager_);
        zwlr_foreign_toplevel_manager_v1_destroy(manager_);
        manager_ = nullptr;
    }
}

void WaylandToplevels::onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                                  zwlr_foreign_toplevel_handle_v1* handle) {
    static const zwlr_foreign_toplevel_handle_v1_listener listener = {
        onTitle, onAppId, ignoreOutput, ignoreOutput, onState, onDone, onClosed, ignoreParent};
    auto* self = static_cast<WaylandToplevels*>(data);
    auto entry = std::make_unique<Entry>();
    entry->owner = self;
    entry->handle = handle;
    entry->pending.id = self->nextId_;
    // Down to the lowest id, then round again: a run does not see 2^31 windows.
    // kWindowInFront is left out: it stands for no one window.
    self->nextId_ = self->nextId_ == kWindowInFront + 1 ? -1 : self->nextId_ - 1;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, entry.get());
    self->entries_.push_back(std::move(entry));
}

void WaylandToplevels::onFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
    // The compositor stops telling: the list is gone with it.
    auto* self = static_cast<WaylandToplevels*>(data);
    for (const auto& entry : self->entries_) {
        zwlr_foreign_toplevel_handle_v1_destroy(entry->handle);
    }
    self->entries_.clear();
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    self->manager_ = nullptr;
}

void WaylandToplevels::onTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
    static_cast<Entry*>(data)->pending.title = cutTitle(title);
}

void WaylandToplevels::onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    static_cast<Entry*>(data)->pending.appId = appId;
}

void WaylandToplevels::onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* state) {
    auto& pending = static_cast<Entry*>(data)->pending;
    const auto* begin = static_cast<const std::uint32_t*>(state->data);
    const auto* end = begin + state->size / sizeof(std::uint32_t);
    pending.activated =
        std::find(begin, end, ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) != end;
    pending.minimized =
        std::find(begin, end, ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED) != end;
}

void WaylandToplevels::onDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* entry = static_cast<Entry*>(data);
    entry->shown = entry->pending;
    ++entry->owner->changes_;
}

void WaylandToplevels::onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
    static_cast<Entry*>(data)->owner->remove(handle);
}

void WaylandToplevels::remove(zwlr_foreign_toplevel_handle_v1* handle) {
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
    std::erase_if(entries_, [handle](const auto& entry) { return entry->handle == handle; });
    ++changes_;
}

std::vector<WaylandToplevel> WaylandToplevels::list() const {
    std::vector<WaylandToplevel> windows;
    for (const auto& entry : entries_) {
        // A window is shown once its first state is done.
        if (entry->shown.id != 0) {
            windows.push_back(entry->shown);
        }
    }
    return windows;
}

WindowId WaylandToplevels::activeWindow() const {
    for (const auto& entry : entries_) {
        if (entry->shown.id != 0 && entry->shown.activated) {
            return entry->shown.id;
        }
    }
    return 0;
}

bool WaylandToplevels::activate(WindowId window, wl_seat* seat) {
    for (const auto& entry : entries_) {
        if (entry->shown.id == window && window != 0) {
            zwlr_foreign_toplevel_handle_v1_activate(entry->handle, seat);
            return true;
        }
    }
    return false;
}

}  // namespace quindorel
