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

#include "app/PointerRule.h"
#include "app/StartUp.h"
#include "common/ErrorTrap.h"
#include "hold/HoldEngine.h"
#include "hold/HoldInputs.h"
#include "hold/StopHotKey.h"
#include "keys/KeyButton.h"
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
      timer1_(platform.createClock()),
      timer2_(platform.createClock()),
      timer3_(platform.createClock()),
      pointer_(new PointerRule(this)) {
    setWindowTitle(QStringLiteral("Form1"));
    applications_ = std::make_unique<ApplicationList>(platform_, controls_.listView1);
    keySetFile_ = std::make_unique<KeySetFile>(platform_, controls_.cmdKey, programFolder_);
    keyMarks_ = std::make_unique<KeyMarks>(platform_, controls_.cmdKey, *keySetFile_);
    inputs_ = std::make_unique<HoldInputs>(platform_, state_, controls_.listView2, controls_.text1);
    const HoldEngine::Controls engineControls{
        controls_.option1,     controls_.option2, controls_.listView2, controls_.text1,
        controls_.pushButton4, timer1_.get(),     timer2_.get(),       timer3_.get()};
    engine_ = std::make_unique<HoldEngine>(platform_, engineControls, state_, *inputs_,
                                           *applications_, *keySetFile_);
    engine_->setBusyPointer([this](bool busy) {
        pointer_->setPointer(busy ? PointerRule::Hourglass : PointerRule::Default);
    });
    stopHotKey_ = std::make_unique<StopHotKey>(
        platform_, *timer3_, [this] { return applications_->mainWindowHandle(); },
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

void MainWindow::refreshListClicked() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.PushButton1_Click"));
    trap.run(100, [&] { applications_->getAllWindows(); });
}

void MainWindow::connectControls() {
    const FormControls& c = controls_;
    connect(c.keyGroup, &QButtonGroup::idClicked, this, [this](int id) { keyMarks_->toggle(id); });
    connect(c.pushButton6, &QPushButton::clicked, this, [this] { keyMarks_->unmarkAll(); });
    connect(c.pushButton5, &QPushButton::clicked, this, [this] { keyMarks_->markAll(); });
    connect(c.pushButton1, &QPushButton::clicked, this, [this] { refreshListClicked(); });
    connect(c.pushButton4, &QPushButton::clicked, this, [this] { engine_->switchClicked(); });
    connect(c.pushButton2, &QPushButton::clicked, this, [this] { engine_->holdNowClicked(); });
    connect(c.pushButton3, &QPushButton::clicked, this, [this] { inputs_->showHelp(); });
    connect(c.option1, &QRadioButton::clicked, this, [this] { engine_->optionClicked(); });
    connect(c.option2, &QRadioButton::clicked, this, [this] { engine_->optionClicked(); });
    connect(c.listView2, &QTreeWidget::itemClicked, this, [this] { inputs_->holdListClicked(); });
    // A row chosen with the keyboard counts as a click too.
    connect(c.listView2, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (current != nullptr && previous != nullptr && controls_.listView2->hasFocus() &&
                    QGuiApplication::mouseButtons() == Qt::NoButton) {
                    inputs_->holdListClicked();
                }
            });
    // Ctrl+click or Ctrl+Space would leave "Hold for..." without a row, and
    // a timed hold without a length; the row under the cursor stays chosen.
    connect(c.listView2, &QTreeWidget::itemSelectionChanged, this, [this] {
        QTreeWidget* list = controls_.listView2;
        if (list->selectedItems().isEmpty() && list->currentItem() != nullptr) {
            list->currentItem()->setSelected(true);
        }
    });
    connect(c.text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { inputs_->waitTextChanged(text); });
    c.text1->installEventFilter(this);
    timer1_->setOnTick([this] { engine_->waitClockTick(); });
    timer2_->setOnTick([this] { engine_->holdClockTick(); });
    timer3_->setOnTick([this] { stopHotKey_->clockTick(); });
}

void MainWindow::watchPointers() {
    const FormControls& c = controls_;
    pointer_->watch(this, PointerRule::Default);
    for (QWidget* widget : {static_cast<QWidget*>(c.frame1), static_cast<QWidget*>(c.frame3),
                            static_cast<QWidget*>(c.frame4), static_cast<QWidget*>(c.image1),
                            static_cast<QWidget*>(c.listView1), static_cast<QWidget*>(c.listView2),
                            static_cast<QWidget*>(c.text1)}) {
        pointer_->watch(widget, PointerRule::Default);
    }
    for (QWidget* button : {c.pushButton1, c.pushButton2, c.pushButton3, c.pushButton4,
                            c.pushButton5, c.pushButton6}) {
        pointer_->watch(button, PointerRule::Custom);
    }
    for (KeyButton* key : c.cmdKey) {
        pointer_->watch(key, PointerRule::Custom);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.text1 && event->type() == QEvent::FocusOut) {
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
    const QString warning = HoldInputs::waitTextWarning(controls_.text1->text());
    if (warning.isEmpty()) {
        return;
    }
    validating_ = true;
    platform_.messageBox(warning, QString(), MessageIcon::None);
    controls_.text1->setFocus(Qt::OtherFocusReason);
    validating_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Nothing is saved here (every choice was saved when made); only keys that
    // a hold put down are let go, so none stays stuck after the program.
    releaseHeldKeys();
    QWidget::closeEvent(event);
}

}  // namespace quindorel
