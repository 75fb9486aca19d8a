#pragma once

#include <QWidget>
#include <memory>

#include "app/FormControls.h"
#include "hold/HoldChoices.h"
#include "hold/HoldState.h"
#include "keys/MarkedKeys.h"
#include "targets/TargetRows.h"

namespace quindorel {

class ApplicationList;
class Clock;
class HoldEngine;
class HoldInputs;
class HoldView;
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
    Clock& waitClock() { return *waitClock_; }
    Clock& holdClock() { return *holdClock_; }
    Clock& stopKeyClock() { return *stopKeyClock_; }
    HoldState& state() { return state_; }
    HoldChoices& choices() { return choices_; }
    ApplicationList& applications() { return *applications_; }
    KeySetFile& keySetFile() { return *keySetFile_; }
    KeyMarks& keyMarks() { return *keyMarks_; }
    MarkedKeys& marks() { return marks_; }
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
    void showMark(int index);
    void validateWaitField();

    Platform& platform_;
    QString programFolder_;
    FormControls controls_;
    std::unique_ptr<Clock> waitClock_;
    std::unique_ptr<Clock> holdClock_;
    std::unique_ptr<Clock> stopKeyClock_;
    HoldState state_;
    HoldChoices choices_;
    TargetRows targets_;
    HoldView* view_;
    MarkedKeys marks_;
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
