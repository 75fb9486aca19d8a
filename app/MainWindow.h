#pragma once

#include <QWidget>

#include "app/FormControls.h"
#include "hold/HoldModel.h"

namespace quindorel {

class ChoicesView;
class Platform;
class PointerRule;

// The program's one window: shows the hold model and forwards the user's
// clicks to it.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Platform& platform, const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Restores every saved choice; runs once, before the window is first shown.
    void formLoad();
    // The rest of start-up that needs the window on screen (a question).
    void formShown();
    // A line under the keyboard until the next notice replaces it; empty: none.
    void showNotice(const QString& text);
    // Sends the key-ups still owed by the last press pass (the program ends).
    void releaseHeldKeys();
    // Restores the window if minimised and brings it to the front (a second
    // start of the program).
    void bringToFront();

    const FormControls& controls() const { return controls_; }
    HoldModel& model() { return model_; }
    Platform& platform() { return platform_; }
    PointerRule& pointer() { return *pointer_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // The window's menu (right button, the Menu key, Shift+F10): the
    // start/stop key, beside the designed controls.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Shift+F10 and the Menu key open the menu.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void watchPointers();
    void showMark(int index);
    void validateWaitField();
    void chooseToggleKey();

    Platform& platform_;
    QString programFolder_;
    FormControls controls_;
    HoldModel model_;
    ChoicesView* view_;
    PointerRule* pointer_;
    bool validating_ = false;
};

}  // namespace quindorel
