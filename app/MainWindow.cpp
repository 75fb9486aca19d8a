#include "app/MainWindow.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/HoldView.h"
#include "app/KeyButton.h"
#include "app/PointerRule.h"
#include "app/StartUp.h"
#include "common/ErrorTrap.h"
#include "hold/HoldEngine.h"
#include "hold/HoldInputs.h"
#include "hold/StopHotKey.h"
#include "keys/KeyMarks.h"
#include "keys/KeySetFile.h"
#include "platform/Platform.h"
#include "targets/ApplicationList.h"

namespace quindorel {

MainWindow::MainWindow(Platform& platform, const QString& programFolder, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      programFolder_(programFolder),
      controls_(buildFormControls(this)),
      waitClock_(platform.createClock()),
      holdClock_(platform.createClock()),
      stopKeyClock_(platform.createClock()),
      view_(new HoldView(controls_, choices_, targets_, this)),
      pointer_(new PointerRule(this)) {
    setWindowTitle(QStringLiteral("Form1"));
    applications_ = std::make_unique<ApplicationList>(platform_, targets_);
    marks_.setObserver([this](int index) { showMark(index); });
    keySetFile_ = std::make_unique<KeySetFile>(platform_, marks_, programFolder_);
    keyMarks_ = std::make_unique<KeyMarks>(platform_, marks_, *keySetFile_);
    inputs_ = std::make_unique<HoldInputs>(platform_, state_, choices_);
    const HoldEngine::Clocks clocks{waitClock_.get(), holdClock_.get(), stopKeyClock_.get()};
    engine_ = std::make_unique<HoldEngine>(platform_, clocks, choices_, state_, *inputs_,
                                           *applications_, *keySetFile_);
    engine_->setBusyPointer([this](bool busy) {
        pointer_->setPointer(busy ? PointerRule::Hourglass : PointerRule::Default);
    });
    stopHotKey_ = std::make_unique<StopHotKey>(
        platform_, *stopKeyClock_, [this] { return applications_->mainWindowHandle(); },
        [this] { engine_->holdKeys(false); });
    connectControls();
    watchPointers();
}

MainWindow::~MainWindow() = default;

void MainWindow::formLoad() {
    StartUp(*this).run();
}

void MainWindow::formShown() {
    StartUp(*this).runShown();
}

void MainWindow::releaseHeldKeys() {
    engine_->releaseHeldKeys();
}

void MainWindow::showMark(int index) {
    KeyButton* key = controls_.keyButtons[static_cast<std::size_t>(index)];
    key->setBackColor(marks_.marked(index) ? KeyButton::kMarked : KeyButton::kUnmarked);
    // Only a change: showing a key the window has not shown yet would be work for nothing.
    if (key->isHidden() != marks_.hidden(index)) {
        key->setVisible(!marks_.hidden(index));
    }
}

void MainWindow::refreshListClicked() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton1_Click"));
    trap.run(100, [&] { applications_->getAllWindows(); });
}

void MainWindow::connectControls() {
    const FormControls& c = controls_;
    connect(c.keyGroup, &QButtonGroup::idClicked, this, [this](int id) { keyMarks_->toggle(id); });
    connect(c.unmarkAllButton, &QPushButton::clicked, this, [this] { keyMarks_->unmarkAll(); });
    connect(c.markAllButton, &QPushButton::clicked, this, [this] { keyMarks_->markAll(); });
    connect(c.refreshButton, &QPushButton::clicked, this, [this] { refreshListClicked(); });
    connect(c.switchButton, &QPushButton::clicked, this, [this] { engine_->switchClicked(); });
    connect(c.holdNowButton, &QPushButton::clicked, this, [this] { engine_->holdNowClicked(); });
    connect(c.helpButton, &QPushButton::clicked, this, [this] { inputs_->showHelp(); });
    connect(c.foreverOption, &QRadioButton::clicked, this, [this] { engine_->optionClicked(); });
    connect(c.timedOption, &QRadioButton::clicked, this, [this] { engine_->optionClicked(); });
    connect(c.holdList, &QTreeWidget::itemClicked, this, [this] {
        view_->takeHoldRow();
        inputs_->holdListClicked();
    });
    // A row chosen with the keyboard counts as a click too.
    connect(c.holdList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (current != nullptr && previous != nullptr && controls_.holdList->hasFocus() &&
                    QGuiApplication::mouseButtons() == Qt::NoButton) {
                    view_->takeHoldRow();
                    inputs_->holdListClicked();
                }
            });
    // Ctrl+click or Ctrl+Space would leave "Hold for..." without a row, and
    // a timed hold without a length; the row under the cursor stays chosen.
    connect(c.holdList, &QTreeWidget::itemSelectionChanged, this, [this] {
        QTreeWidget* list = controls_.holdList;
        if (list->selectedItems().isEmpty() && list->currentItem() != nullptr) {
            list->currentItem()->setSelected(true);
        }
    });
    connect(c.waitField, &QLineEdit::textChanged, this,
            [this](const QString& text) { inputs_->waitTextChanged(text); });
    c.waitField->installEventFilter(this);
    waitClock_->setOnTick([this] { engine_->waitClockTick(); });
    holdClock_->setOnTick([this] { engine_->holdClockTick(); });
    stopKeyClock_->setOnTick([this] { stopHotKey_->clockTick(); });
}

void MainWindow::watchPointers() {
    const FormControls& c = controls_;
    pointer_->watch(this, PointerRule::Default);
    for (QWidget* widget :
         {static_cast<QWidget*>(c.waitFrame), static_cast<QWidget*>(c.holdFrame),
          static_cast<QWidget*>(c.keyboardFrame), static_cast<QWidget*>(c.keyboardImage),
          static_cast<QWidget*>(c.appList), static_cast<QWidget*>(c.holdList),
          static_cast<QWidget*>(c.waitField)}) {
        pointer_->watch(widget, PointerRule::Default);
    }
    for (QWidget* button : {c.refreshButton, c.holdNowButton, c.helpButton, c.switchButton,
                            c.markAllButton, c.unmarkAllButton}) {
        pointer_->watch(button, PointerRule::Custom);
    }
    for (KeyButton* key : c.keyButtons) {
        pointer_->watch(key, PointerRule::Custom);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.waitField && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Only moving to another control of this window validates, as with the
        // classic Validate event; switching windows or opening a box does not.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
            QTimer::singleShot(0, this, [this] { validateWaitField(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::validateWaitField() {
    if (validating_) {
        return;
    }
    const QString warning = HoldInputs::waitTextWarning(controls_.waitField->text());
    if (warning.isEmpty()) {
        return;
    }
    validating_ = true;
    platform_.messageBox(warning, QString(), MessageIcon::None);
    controls_.waitField->setFocus(Qt::OtherFocusReason);
    validating_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Nothing is saved here (every choice was saved when made); only keys that
    // a hold put down are let go, so none stays stuck after the program.
    releaseHeldKeys();
    QWidget::closeEvent(event);
}

}  // namespace quindorel
