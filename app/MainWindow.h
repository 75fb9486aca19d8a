#pragma once

#include <QWidget>
#include <memory>

#include "app/FormControls.h"
#include "hold/HoldState.h"

namespace quindorel {

class ApplicationList;
class Clock;
class HoldEngine;
class HoldInputs;
class KeyMarks;
class KeySetFile;
class Platform;
class PointerRule;
class StopHotKey;

// The program's one window: owns every control and every piece of state, and
// connects the controls to the behaviour behind them.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Platform& platform, const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Restores every saved choice; runs once, before the window is first shown.
    void formLoad();
    // The rest of start-up that needs the window on screen (a question).
    void formShown();
    // Sends the key-ups still owed by the last press pass (the program ends).
    void releaseHeldKeys();

    const FormControls& controls() const { return controls_; }
    Platform& platform() { return platform_; }
    const QString& programFolder() const { return programFolder_; }
    Clock& timer1() { return *timer1_; }
    Clock& timer2() { return *timer2_; }
    Clock& timer3() { return *timer3_; }
    HoldState& state() { return state_; }
    ApplicationList& applications() { return *applications_; }
    KeySetFile& keySetFile() { return *keySetFile_; }
    KeyMarks& keyMarks() { return *keyMarks_; }
    HoldInputs& inputs() { return *inputs_; }
    HoldEngine& engine() { return *engine_; }
    StopHotKey& stopHotKey() { return *stopHotKey_; }
    PointerRule& pointer() { return *pointer_; }

    // "Refresh List".
    void refreshListClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void watchPointers();
    void validateWaitField();

    Platform& platform_;
    QString programFolder_;
    FormControls controls_;
    std::unique_ptr<Clock> timer1_;
    std::unique_ptr<Clock> timer2_;
    std::unique_ptr<Clock> timer3_;
    HoldState state_;
    std::unique_ptr<ApplicationList> applications_;
    std::unique_ptr<KeySetFile> keySetFile_;
    std::unique_ptr<KeyMarks> keyMarks_;
    std::unique_ptr<HoldInputs> inputs_;
    std::unique_ptr<HoldEngine> engine_;
    std::unique_ptr<StopHotKey> stopHotKey_;
    PointerRule* pointer_;
    bool validating_ = false;
};

}  // namespace quindorel
