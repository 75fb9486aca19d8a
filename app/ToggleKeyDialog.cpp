#include "app/ToggleKeyDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "hold/HoldModel.h"
#include "keys/HotKeyNames.h"
#include "platform/Platform.h"

namespace quindorel {

namespace {

QString nameOrNone(const std::optional<HotKey>& key) {
    return key ? hotKeyName(*key) : QStringLiteral("none");
}

}  // namespace

ToggleKeyDialog::ToggleKeyDialog(HoldModel& model, const QString& note, QWidget* parent)
    : QDialog(parent), model_(model), said_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Start/stop key"));
    auto* layout = new QVBoxLayout(this);
    auto* ask = new QLabel(
        QStringLiteral("Press the key that starts and stops the hold from any window, with "
                       "Ctrl, Shift, Alt or Win if you like.\nNow: %1. Escape leaves it; "
                       "Backspace takes it away.")
            .arg(nameOrNone(model_.toggleKey().key())),
        this);
    ask->setWordWrap(true);
    layout->addWidget(ask);
    said_->setWordWrap(true);
    // A screen reader reads what the dialog says as it changes.
    said_->setAccessibleName(QStringLiteral("No key pressed yet"));
    layout->addWidget(said_);
    if (!note.isEmpty()) {
        auto* desktop = new QLabel(note, this);
        desktop->setWordWrap(true);
        layout->addWidget(desktop);
    }
    setAccessibleName(windowTitle());
    setAccessibleDescription(ask->text());
    setMinimumWidth(360);
    // Let go while the dialog listens: its press must reach the dialog.
    model_.toggleKey().pause(true);
}

ToggleKeyDialog::~ToggleKeyDialog() {
    if (!chosen_) {
        model_.toggleKey().pause(false);
    }
}

void ToggleKeyDialog::say(const QString& text) {
    said_->setText(text);
    said_->setAccessibleName(text);
}

void ToggleKeyDialog::keyPressEvent(QKeyEvent* event) {
    const int qtKey = event->key();
    if (qtKey == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        reject();
        return;
    }
    std::optional<HotKey> key;
    if (qtKey != Qt::Key_Backspace || event->modifiers() != Qt::NoModifier) {
        key = hotKeyOfQtKey(qtKey, event->modifiers());
        if (!key) {
            // A modifier on its own waits for its key; others cannot be kept.
            if (qtKey != Qt::Key_Control && qtKey != Qt::Key_Shift && qtKey != Qt::Key_Alt &&
                qtKey != Qt::Key_Meta && qtKey != Qt::Key_AltGr && qtKey != Qt::Key_Super_L &&
                qtKey != Qt::Key_Super_R) {
                say(QStringLiteral("That key cannot be the start/stop key: press another."));
            }
            return;
        }
    }
    if (const QString why = model_.chooseToggleKey(key); !why.isEmpty()) {
        say(why + QStringLiteral(": press another key."));
        return;
    }
    chosen_ = true;
    outcome_ = QStringLiteral("Start/stop key: %1.").arg(nameOrNone(key));
    accept();
}

}  // namespace quindorel
