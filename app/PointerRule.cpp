#include "app/PointerRule.h"

#include <QEvent>
#include <QWidget>

namespace quindorel {

namespace {
const char* const kPointerProperty = "quindorelPointer";
}

PointerRule::PointerRule(QWidget* form) : QObject(form), form_(form) {}

void PointerRule::setPointer(Pointer pointer) {
    pointer_ = pointer;
    switch (pointer) {
        case Hourglass:
            form_->setCursor(Qt::WaitCursor);
            break;
        case Custom:
            form_->setCursor(customCursor_.value_or(QCursor(Qt::ArrowCursor)));
            break;
        case Default:
            form_->setCursor(Qt::ArrowCursor);
            break;
    }
}

void PointerRule::watch(QWidget* widget, Pointer over) {
    widget->setProperty(kPointerProperty, static_cast<int>(over));
    widget->unsetCursor();  // shows the window's pointer (a text box would show its own)
    widget->installEventFilter(this);
}

bool PointerRule::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        if (pointer_ != Hourglass) {
            setPointer(static_cast<Pointer>(watched->property(kPointerProperty).toInt()));
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quindorel
