#pragma once

#include <QString>

class QWidget;

namespace quindorel {

class PointerRule;
struct FormControls;
class HoldModel;
class Platform;

// The start-up sequence of the main window: its look, caption and title and
// the lists' columns, then the model's load, which restores every saved
// choice (the window paints them as they come).
class StartUp {
public:
    StartUp(QWidget& window, Platform& platform, const FormControls& controls, PointerRule& pointer,
            HoldModel& model, const QString& programFolder)
        : window_(window),
          platform_(platform),
          controls_(controls),
          pointer_(pointer),
          model_(model),
          programFolder_(programFolder) {}
    void run();
    // Once the window is on screen: the model's questions that need it.
    void runShown();

    static constexpr const char* kCaption = "Quindorel";
    static constexpr const char* kApplicationTitle = "Tessavrin";
    static constexpr const char* kCursorFileName = "HAND-M.CUR";

private:
    QWidget& window_;
    Platform& platform_;
    const FormControls& controls_;
    PointerRule& pointer_;
    HoldModel& model_;
    const QString& programFolder_;
};

}  // namespace quindorel
