#include "app/PressKeeper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>

namespace quindorel {

void PressKeeper::watchButtons(QWidget* root) {
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        button->installEventFilter(this);
    }
}

bool PressKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusOut ||
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
        return false;
    }
    auto* button = qobject_cast<QAbstractButton*>(watched);
    // A press by the keyboard (Space) still ends here: its release would go
    // to the window that now has the keyboard. So does one when a box of the
    // program's own comes up, which keeps the release from the window.
    if (button == nullptr || !button->isDown() ||
        !QGuiApplication::mouseButtons().testFlag(Qt::LeftButton) ||
        QApplication::activeWindow() != nullptr) {
        return false;
    }
    // All a button does on losing the focus but dropping its press: draw
    // itself again, without the focus frame.
    button->update();
    return true;
}

}  // namespace quindorel
