#include "app/MainWindow.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/ChoicesView.h"
#include "app/KeyButton.h"
#include "app/PointerRule.h"
#include "app/PressKeeper.h"
#include "app/StartUp.h"
#include "app/ToggleKeyDialog.h"
#include "keys/HotKeyNames.h"
#include "platform/Platform.h"

namespace quindorel {

MainWindow::MainWindow(Platform& platform, const QString& programFolder, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      programFolder_(programFolder),
      controls_(buildFormControls(this)),
      model_(platform, programFolder_),
      view_(new ChoicesView(controls_, model_, this)),
      pointer_(new PointerRule(this)) {
    connect(&model_.marks(), &MarkedKeys::changed, this, [this](int index) { showMark(index); });
    connect(&model_.notices(), &HoldNotices::busyChanged, this, [this](bool busy) {
        pointer_->setPointer(busy ? PointerRule::Hourglass : PointerRule::Default);
    });
    connect(&model_.notices(), &HoldNotices::noticeChanged, this, &MainWindow::showNotice);
    connectControls();
    watchPointers();
    (new PressKeeper(this))->watchButtons(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::showNotice(const QString& text) {
    controls_.focusNotice->setText(text);
    controls_.focusNotice->setAccessibleName(text);
    controls_.focusNotice->setVisible(!text.isEmpty());
}

void MainWindow::formLoad() {
    StartUp(*this, platform_, controls_, *pointer_, model_, programFolder_).run();
}

void MainWindow::formShown() {
    StartUp(*this, platform_, controls_, *pointer_, model_, programFolder_).runShown();
}

void MainWindow::releaseHeldKeys() {
    model_.releaseHeldKeys();
}

void MainWindow::bringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    // Window managers that keep other programs from taking the focus let
    // the desktop's own request through.
    platform_.desktop().showWindow(static_cast<WindowId>(winId()));
}

void MainWindow::showMark(int index) {
    KeyButton* key = controls_.keyButtons[static_cast<std::size_t>(index)];
    key->setBackColor(model_.marks().marked(index) ? KeyButton::kMarked : KeyButton::kUnmarked);
    // Only a change: showing a key the window has not shown yet would be work for nothing.
    if (key->isHidden() != model_.marks().hidden(index)) {
        key->setVisible(!model_.marks().hidden(index));
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
    platform_.messageBox(warning, QString(), MessageIcon::None);
    controls_.waitField->setFocus(Qt::OtherFocusReason);
    validating_ = false;
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setAccessibleName(QStringLiteral("Quindorel"));
    const std::optional<HotKey> key = model_.toggleKey().key();
    QAction* choose = menu.addAction(QStringLiteral("Start/stop key: %1...")
                                         .arg(key ? hotKeyName(*key) : QStringLiteral("none")));
    choose->setObjectName(QStringLiteral("toggleKeyAction"));
    connect(choose, &QAction::triggered, this, [this] { chooseToggleKey(); });
    menu.exec(event->globalPos());
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (shiftF10 || (event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier)) {
        QWidget* at = focusWidget() != nullptr ? focusWidget() : this;
        const QPoint middle = at->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, middle, at->mapToGlobal(middle));
        contextMenuEvent(&menu);
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::chooseToggleKey() {
    // Through Xwayland the program hears the key only while an X11 window
    // has the keyboard; a desktop's own shortcut works in every window.
    const QString place = QString::fromStdString(platform_.desktop().toggleKeyPlace());
    QString note;
    if (!place.isEmpty()) {
        note = QStringLiteral(
                   "For every window on this desktop, give the key in %1. The key "
                   "chosen here works while a window of an X11 program is in front.")
                   .arg(place);
    } else if (!platform_.desktop().toggleKeyEverywhere()) {
        note = QStringLiteral(
            "On this desktop the key works while a window of an X11 program is "
            "in front. For other windows, give \"quindorel --toggle\" a "
            "shortcut in the desktop's keyboard settings.");
    }
    ToggleKeyDialog dialog(model_, note, this);
    if (dialog.exec() == QDialog::Accepted) {
        showNotice(dialog.outcome());
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Nothing is saved here (every choice was saved when made); only keys that
    // a hold put down are let go, so none stays stuck after the program.
    releaseHeldKeys();
    QWidget::closeEvent(event);
}

}  // namespace quindorel
