#include "keys/KeyButton.h"

#include <QPainter>

namespace quindorel {

KeyButton::KeyButton(int index, const QString& caption, const QString& tag, QWidget* parent)
    : QPushButton(caption, parent), index_(index), tag_(tag) {
    setFocusPolicy(Qt::TabFocus);
}

void KeyButton::setBackColor(QRgb color) {
    backColor_ = color & 0xFFFFFF;
    update();
}

void KeyButton::paintEvent(QPaintEvent*) {
    // Placeholder face: filled with the mark colour, caption centred.
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(backColor_));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!icon().isNull()) {
        icon().paint(&painter, rect());
    }
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace quindorel
