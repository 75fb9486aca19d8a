#include "app/KeyButton.h"

#include <QPainter>
#include <QStyle>

namespace quindorel {

KeyButton::KeyButton(int index, const QString& caption, const QString& tag, QWidget* parent)
    : QPushButton(caption, parent), index_(index), tag_(tag) {
    // A click takes the focus as on any button, so leaving the waiting-time
    // field for a key checks it.
    setFocusPolicy(Qt::StrongFocus);
}

void KeyButton::setBackColor(QRgb color) {
    backColor_ = color & 0xFFFFFF;
    // Any colour but grey counts as marked, as a click reads it.
    setChecked(backColor_ != kUnmarked);
    update();
}

void KeyButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = rect();
    // The mark colour fills the whole face, edges included: the colour is what
    // the user reads, so no style gradient may tint it.
    painter.fillRect(face, QColor::fromRgb(backColor_));

    // A one-pixel raised edge, sunken while the button is held down; a marked
    // key shows its mark by colour alone.
    const bool sunken = isDown();
    const QColor light(0xFF, 0xFF, 0xFF);
    const QColor dark(0x40, 0x40, 0x40);
    painter.setPen(sunken ? dark : light);
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(sunken ? light : dark);
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());

    // Content moves one pixel while pressed, as a graphical button's does.
    const QPoint shift = sunken ? QPoint(1, 1) : QPoint();
    const QRect content = face.adjusted(2, 2, -2, -2).translated(shift);
    if (!icon().isNull()) {
        // Centred on the whole face: the window-flag picture is nearly as wide
        // as its key.
        const QPixmap picture = icon().pixmap(iconSize());
        QRect place(QPoint(0, 0), picture.deviceIndependentSize().toSize());
        place.moveCenter(face.center() + shift);
        painter.drawPixmap(place, picture);
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(content, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (hasFocus()) {
        // A solid black frame two pixels wide inside the edge: it stands out
        // on grey and green alike, where a dotted line is hard to find.
        const QRect inner = face.adjusted(2, 2, -2, -2);
        const int w = inner.width();
        const int h = inner.height();
        for (const QRect& bar :
             {QRect(inner.left(), inner.top(), w, 2), QRect(inner.left(), inner.bottom() - 1, w, 2),
              QRect(inner.left(), inner.top(), 2, h),
              QRect(inner.right() - 1, inner.top(), 2, h)}) {
            painter.fillRect(bar, Qt::black);
        }
    }
}

}  // namespace quindorel
