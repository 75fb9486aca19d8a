#pragma once

#include <QString>

#include "platform/NativeDesktop.h"
#include "targets/TargetRows.h"

namespace quindorel {

class Platform;

// The list of application windows the user picks the target from: one row per
// visible, unowned, titled top-level window, top of the stacking order first,
// the handle in the hidden second column.
class ApplicationList {
public:
    static constexpr int kTitleLimit = 79;

    ApplicationList(Platform& platform, TargetRows& rows);

    void setMainWindowHandle(WindowId handle) { mainWindowHandle_ = handle; }
    WindowId mainWindowHandle() const { return mainWindowHandle_; }

    // Rebuilds every row from the windows open now; selects the first row.
    void getAllWindows();

    // Whether a window may be listed; each switch relaxes one condition.
    static bool isAppWindow(const TopLevelWindow& window, bool includeUntitled,
                            bool includeInvisible, bool includeOwned);
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
