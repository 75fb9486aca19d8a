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

#include "app/ChoicesView.h"
#include "app/KeyButton.h"
#include "app/PointerRule.h"
#include "app/StartUp.h"
#include "platform/Platform.h"

namespace quindorel {

MainWindow::MainWindow(Platform& platform, const QString& programFolder, QWidget* parent)
    : QWidget(parent),
      programFolder_(programFolder),
      controls_(buildFormControls(this)),
      model_(platform, programFolder_),
      view_(new ChoicesView(controls_, model_.choices, model_.targets, this)),
      pointer_(new PointerRule(this)) {
    model_.marks.addObserver([this](int index) { showMark(index); });
    model_.engine.setBusyPointer([this](bool busy) {
        pointer_->setPointer(busy ? PointerRule::Hourglass : PointerRule::Default);
    });
    model_.engine.setNotice([this](const QString& text) {
        controls_.focusNotice->setText(text);
        controls_.focusNotice->setAccessibleName(text);
        controls_.focusNotice->setVisible(!text.isEmpty());
    });
    connectControls();
    watchPointers();
}

MainWindow::~MainWindow() = default;

void MainWindow::formLoad() {
    StartUp(*this, controls_, *pointer_, model_, programFolder_).run();
}

void MainWindow::formShown() {
    StartUp(*this, controls_, *pointer_, model_, programFolder_).runShown();
}

void MainWindow::releaseHeldKeys() {
    model_.releaseHeldKeys();
}

void MainWindow::showMark(int index) {
    KeyButton* key = controls_.keyButtons[static_cast<std::size_t>(index)];
    key->setBackColor(model_.marks.marked(index) ? KeyButton::kMarked : KeyButton::kUnmarked);
    // Only a change: showing a key the window has not shown yet would be work for nothing.
    if (key->isHidden() != model_.marks.hidden(index)) {
        key->setVisible(!model_.marks.hidden(index));
    }
}

void MainWindow::connectControls() {
    const FormControls& c = controls_;
    connect(c.keyGroup, &QButtonGroup::idClicked, this, [this](int id) { model_.toggleKey(id); });
    connect(c.unmarkAllButton, &QPushButton::clicked, this, [this] { model_.unmarkAllKeys(); });
    connect(c.markAllButton, &QPushButton::clicked, this, [this] { model_.markAllKeys(); });
    connect(c.refreshButton, &QPushButton::clicked, this, [this] { model_.refreshList(); });
    connect(c.switchButton, &QPushButton::clicked, this, [this] { model_.turnSwitch(); });
    connect(c.holdNowButton, &QPushButton::clicked, this, [this] { model_.holdNow(); });
    connect(c.helpButton, &QPushButton::clicked, this, [this] { model_.showHelp(); });
    // The view has written the option that is now checked into the choices.
    for (QRadioButton* option : {c.foreverOption, c.timedOption}) {
        connect(option, &QRadioButton::clicked, this,
                [this] { model_.chooseMode(model_.choices.mode()); });
    }
    connect(c.holdList, &QTreeWidget::itemClicked, this, [this] {
        view_->takeHoldRow();
        model_.chooseHoldRow(model_.choices.holdRow());
    });
    // A row chosen with the keyboard counts as a click too.
    connect(c.holdList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (current != nullptr && previous != nullptr && controls_.holdList->hasFocus() &&
                    QGuiApplication::mouseButtons() == Qt::NoButton) {
                    view_->takeHoldRow();
                    model_.chooseHoldRow(model_.choices.holdRow());
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
            [this](const QString& text) { model_.typeWaitTime(text); });
    c.waitField->installEventFilter(this);
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
    const QString warning = Durations::waitTextWarning(controls_.waitField->text());
    if (warning.isEmpty()) {
        return;
    }
    validating_ = true;
    model_.platform.messageBox(warning, QString(), MessageIcon::None);
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
