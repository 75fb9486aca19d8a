#pragma once

#include <QString>

#include "platform/NativeDesktop.h"
#include "targets/TargetRows.h"

namespace quindorel {

class Platform;

// Finds the windows the user may pick as the target: one row per visible,
// unowned, titled top-level window, top of the stacking order first, each
// with its handle.
class TargetFinder {
public:
    TargetFinder(Platform& platform, TargetRows& rows);

    void setMainWindowHandle(WindowId handle) { mainWindowHandle_ = handle; }
    WindowId mainWindowHandle() const { return mainWindowHandle_; }

    // Rebuilds every row from the windows open now; selects the first row.
    void getAllWindows();

    // Whether a window may be listed: titled, visible and unowned.
    static bool isAppWindow(const TopLevelWindow& window);
    // Whether `window` is still open and would be listed (one walk).
    bool isOpen(WindowId window) const;
    static bool isBlankTitle(const QString& title);
    static QString listedTitle(const std::string& title);

    int rowCount() const;
    // The handle of the selected row; throws a RuntimeError when no row is
    // selected.
    WindowId selectedHandle() const;
    // The listed title of a window, or nothing when no row shows it.
    QString titleOf(WindowId window) const;

private:
    Platform& platform_;
    TargetRows& rows_;
    WindowId mainWindowHandle_ = 0;
};

}  // namespace quindorel
